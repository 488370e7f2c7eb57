#include "platform/last_error.h"

namespace orvanecam::platform {
namespace {
thread_local std::uint32_t t_lastError = 0;
}

void SetThreadLastError(std::uint32_t code) {
    t_lastError = code;
}
std::uint32_t ThreadLastError() {
    return t_lastError;
}

}  // namespace orvanecam::platform
