#pragma once
// Monotonic time, sleeping and yielding.
#include <cstdint>

namespace orvanecam::platform {

// Media times (DirectShow's REFERENCE_TIME, Media Foundation's) count 100 ns units.
inline constexpr std::int64_t kUnitsPerSecond = 10000000;

// Milliseconds since an arbitrary fixed point; never goes backwards.
std::uint64_t TickCountMs();
void SleepMs(std::uint32_t milliseconds);
// Monotonic time in 100-nanosecond units (the unit of media time stamps), finer than the tick.
std::int64_t MonotonicTime100ns();
// Sleeps until MonotonicTime100ns() reaches deadline (returns at once when it has passed).
void SleepUntil100ns(std::int64_t deadline);

// While one exists, sleeps and timed waits in this process are accurate to about a millisecond
// (Windows otherwise rounds them up to its 15.6 ms system tick).
class FineTimerScope {
  public:
    FineTimerScope();
    ~FineTimerScope();
    FineTimerScope(const FineTimerScope&) = delete;
    FineTimerScope& operator=(const FineTimerScope&) = delete;
};

// Gives the rest of this time slice to another ready thread.
void YieldThread();

// A processor spin hint for busy-wait loops.
inline void CpuRelax() {
    __builtin_ia32_pause();
}

}  // namespace orvanecam::platform
