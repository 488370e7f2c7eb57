// Built where the system has no thread last-error value for producers to read.
#include <orvanecam/orvanecam.h>

#include "platform/last_error.h"

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL GetVcamLastError(void) {
    return orvanecam::platform::ThreadLastError();
}
