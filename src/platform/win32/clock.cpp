#include "platform/clock.h"

#include <windows.h>

namespace orvanecam::platform {

std::uint64_t TickCountMs() {
    return GetTickCount64();
}
void SleepMs(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}
void YieldThread() {
    Sleep(0);
}

}  // namespace orvanecam::platform
