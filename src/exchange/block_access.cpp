#include "exchange/block_access.h"

#include "platform/clock.h"

namespace orvanecam::exchange {

std::uint32_t BeginGuardedRead(SharedBlock& block) {
    auto guard = Atomic(block.writeGuard);
    std::uint32_t value = guard.load();
    std::uint32_t oddValue = 0;
    std::uint64_t oddSince = 0;
    for (unsigned spins = 0; (value & 1u) != 0; ++spins) {
        // Spin briefly for a writer that is copying a frame, then let it have the processor.
        if (spins < 64) {
            platform::CpuRelax();
        } else {
            platform::YieldThread();
            const std::uint64_t now = platform::TickCountMs();
            if (value != oddValue) {
                oddValue = value;
                oddSince = now;
            } else if (now - oddSince >= kStuckWriterMs) {
                guard.compare_exchange_strong(value, value + 1);
            }
        }
        value = guard.load();
    }
    return value;
}

}  // namespace orvanecam::exchange
