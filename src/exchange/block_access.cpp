#include "exchange/block_access.h"

#include "platform/clock.h"
#include "platform/process.h"

namespace orvanecam::exchange {

FrameSize ValidOutputSize(std::int32_t width, std::int32_t height) {
    if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height)) {
        return kDefaultFrameSize;
    }
    const FrameSize even{width & ~1, height & ~1};
    return even.width == 0 || even.height == 0 ? kDefaultFrameSize : even;
}

bool IsValidVacantPicture(std::int32_t width, std::int32_t height, std::int32_t bytes) {
    const auto isEvenSide = [](std::int32_t side) {
        return geometry::IsSideInRange(side) && side % 2 == 0;
    };
    return isEvenSide(width) && isEvenSide(height) && bytes >= 1 &&
           static_cast<std::size_t>(bytes) <= kRegionBytes && bytes >= height * width * 3 / 2;
}

namespace {

// How often a waiting writer or reader asks whether the holder's process still exists.
constexpr std::uint64_t kHolderCheckMs = 20;

// Watches an odd guard for a holder that will never release it.
class HolderWatch {
  public:
    // True once the holder's process has ended, or value has stayed the same for
    // kStuckWriterMs. Call it only after a short spin: it yields the processor.
    bool Abandoned(SharedBlock& block, std::uint32_t value) {
        platform::YieldThread();
        const std::uint64_t now = platform::TickCountMs();
        if (value != m_value || m_since == 0) {
            m_value = value;
            m_since = now;
        }
        if (now - m_since >= kStuckWriterMs) return true;
        if (now - m_lastCheck < kHolderCheckMs) return false;
        m_lastCheck = now;
        const std::int32_t holder = Atomic(block.reserved).load();
        return holder > 0 && holder != platform::CurrentProcessId() &&
               platform::QueryProcessState(holder) == platform::ProcessState::kEnded;
    }

  private:
    std::uint32_t m_value = 0;
    std::uint64_t m_since = 0;
    std::uint64_t m_lastCheck = 0;
};

constexpr unsigned kSpinsBeforeYielding = 64;

}  // namespace

void BeginGuardedWrite(SharedBlock& block) {
    auto guard = Atomic(block.writeGuard);
    HolderWatch watch;
    std::uint32_t value = guard.load();
    for (unsigned spins = 0;; ++spins) {
        if ((value & 1u) == 0) {
            if (guard.compare_exchange_weak(value, value + 1)) break;
            continue;
        }
        if (spins < kSpinsBeforeYielding) {
            platform::CpuRelax();
        } else if (watch.Abandoned(block, value) &&
                   guard.compare_exchange_strong(value, value + 2)) {
            break;  // taken over: still odd, and readers see that it moved
        }
        value = guard.load();
    }
    Atomic(block.reserved).store(platform::CurrentProcessId());
}

std::uint32_t BeginGuardedRead(SharedBlock& block) {
    auto guard = Atomic(block.writeGuard);
    HolderWatch watch;
    std::uint32_t value = guard.load();
    for (unsigned spins = 0; (value & 1u) != 0; ++spins) {
        // Spin briefly for a writer that is copying a frame, then let it have the processor.
        if (spins < kSpinsBeforeYielding) {
            platform::CpuRelax();
        } else if (watch.Abandoned(block, value)) {
            guard.compare_exchange_strong(value, value + 1);
        }
        value = guard.load();
    }
    return value;
}

OutputSettings ReadOutputSettings(SharedBlock& block) {
    OutputSettings settings{};
    ReadConsistent(block, [&] {
        settings.width = GuardedLoad(block.outWidth);
        settings.height = GuardedLoad(block.outHeight);
        settings.fps = Atomic(block.outFps).load();
        settings.nv12First = GuardedLoad(block.nv12First);
    });
    return settings;
}

}  // namespace orvanecam::exchange
