#include "platform/clock.h"

#include <windows.h>

#include <timeapi.h>

namespace orvanecam::platform {

std::uint64_t TickCountMs() {
    return GetTickCount64();
}
void SleepMs(std::uint32_t milliseconds) {
    Sleep(milliseconds);
}

std::int64_t MonotonicTime100ns() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return static_cast<std::int64_t>(value.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    const std::int64_t ticks = counter.QuadPart;
    // Split to keep the product inside 64 bits for any uptime.
    return ticks / frequency * kUnitsPerSecond + ticks % frequency * kUnitsPerSecond / frequency;
}

void SleepUntil100ns(std::int64_t deadline) {
    const std::int64_t remaining = deadline - MonotonicTime100ns();
    if (remaining <= 0) return;
    // Sleep whole milliseconds, rounding down: waking a fraction early beats a tick late.
    const auto milliseconds = static_cast<DWORD>(remaining / 10000);
    Sleep(milliseconds);
}

FineTimerScope::FineTimerScope() {
    timeBeginPeriod(1);
}
FineTimerScope::~FineTimerScope() {
    timeEndPeriod(1);
}

void YieldThread() {
    Sleep(0);
}

}  // namespace orvanecam::platform
