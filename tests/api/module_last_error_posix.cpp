#include <orvanecam/orvanecam.h>

#include "api/module_last_error.h"

std::uint32_t orvanecam::testing::ModuleLastError() {
    return GetVcamLastError();
}
