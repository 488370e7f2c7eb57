#pragma once
// Monotonic time, sleeping and yielding.
#include <cstdint>

namespace orvanecam::platform {

// Milliseconds since an arbitrary fixed point; never goes backwards.
std::uint64_t TickCountMs();
void SleepMs(std::uint32_t milliseconds);
// Gives the rest of this time slice to another ready thread.
void YieldThread();

// A processor spin hint for busy-wait loops.
inline void CpuRelax() {
    __builtin_ia32_pause();
}

}  // namespace orvanecam::platform
