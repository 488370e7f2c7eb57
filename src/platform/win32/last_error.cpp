#include "platform/last_error.h"

#include <windows.h>

namespace orvanecam::platform {

void SetThreadLastError(std::uint32_t code) {
    SetLastError(code);
}
std::uint32_t ThreadLastError() {
    return GetLastError();
}

}  // namespace orvanecam::platform
