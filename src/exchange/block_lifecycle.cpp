#include "exchange/block_lifecycle.h"

#include "exchange/block_access.h"
#include "platform/clock.h"

namespace orvanecam::exchange {
namespace {

void ResetExtensionFields(SharedBlock& block) {
    Atomic(block.cameraOn).store(1u);
    Atomic(block.mirror).store(0u);
    Atomic(block.flip).store(0u);
    Atomic(block.rotation).store(0u);
    Atomic(block.customVacant).store(0u);
    Atomic(block.vacantWidth).store(0);
    Atomic(block.vacantHeight).store(0);
    Atomic(block.vacantBytes).store(0);
    Atomic(block.extMarker).store(1u);
}

void StoreCreationValues(SharedBlock& block) {
    Atomic(block.outWidth).store(kDefaultWidth);
    Atomic(block.outHeight).store(kDefaultHeight);
    Atomic(block.outFps).store(kDefaultFps);
    Atomic(block.nv12First).store(1u);
    Atomic(block.reserved).store(0);
    Atomic(block.writerPid).store(0);
    ResetExtensionFields(block);
}

// Whoever moves `ready` from an unfinished value to kReadyClaimed initialises; nobody else does.
bool ClaimAndInitialise(SharedBlock& block, std::uint32_t unfinished) {
    if (!Atomic(block.ready).compare_exchange_strong(unfinished, kReadyClaimed)) return false;
    StoreCreationValues(block);
    Atomic(block.ready).store(kReady);
    return true;
}

}  // namespace

void InitialiseCreatedBlock(SharedBlock& block) {
    if (!ClaimAndInitialise(block, kNotReady)) WaitUntilBlockReady(block);
}

void WaitUntilBlockReady(SharedBlock& block) {
    constexpr unsigned kYieldsBeforeSleeping = 1000;
    std::uint32_t seen = Atomic(block.ready).load();
    std::uint64_t seenSince = platform::TickCountMs();
    for (unsigned waits = 0; seen != kReady; ++waits) {
        if (waits < kYieldsBeforeSleeping) {
            platform::YieldThread();
        } else {
            platform::SleepMs(1);
        }
        const std::uint32_t now = Atomic(block.ready).load();
        if (now != seen) {
            seen = now;
            seenSince = platform::TickCountMs();
        } else if (platform::TickCountMs() - seenSince >= kCreatorTimeoutMs) {
            if (ClaimAndInitialise(block, seen)) return;
            seen = Atomic(block.ready).load();
            seenSince = platform::TickCountMs();
        }
    }
}

void RepairExtensionFields(SharedBlock& block) {
    if (Atomic(block.extMarker).load() != 1u) ResetExtensionFields(block);
}

void ForgetWriter(SharedBlock& block, std::int32_t endedWriter) {
    Atomic(block.hasPayload).store(0u);
    Atomic(block.writerPid).compare_exchange_strong(endedWriter, 0);
}

}  // namespace orvanecam::exchange
