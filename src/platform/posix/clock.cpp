#include "platform/clock.h"

#include <sched.h>
#include <time.h>

#include <cerrno>

namespace orvanecam::platform {

std::uint64_t TickCountMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

void SleepMs(std::uint32_t milliseconds) {
    timespec remaining{static_cast<time_t>(milliseconds / 1000u),
                       static_cast<long>(milliseconds % 1000u) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

std::int64_t MonotonicTime100ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * kUnitsPerSecond + now.tv_nsec / 100;
}

void SleepUntil100ns(std::int64_t deadline) {
    const timespec until{static_cast<time_t>(deadline / kUnitsPerSecond),
                         static_cast<long>(deadline % kUnitsPerSecond) * 100};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// POSIX sleeps are already fine-grained.
FineTimerScope::FineTimerScope() = default;
FineTimerScope::~FineTimerScope() = default;

void YieldThread() {
    sched_yield();
}

}  // namespace orvanecam::platform
