#include "exchange/publisher.h"

#include <atomic>
#include <cstring>

#include "exchange/block_lifecycle.h"
#include "platform/process.h"

namespace orvanecam::exchange {

bool FramePublisher::OpenOrCreateBlock() {
    if (m_connection.Block() == nullptr || m_connection.Event() == nullptr) {
        // Both are tried each time; the first failure's error is the one reported.
        m_connection.ClearFailure();
        const bool haveMapping = m_connection.EnsureMapping();
        const bool haveEvent = m_connection.EnsureEvent(false);
        if (!haveMapping || !haveEvent || !m_connection.EnsureView()) return false;
    }
    if (SharedBlock* left = m_connection.MoveToPreferredBlock()) CarryOver(*left);
    SanitizeBlock();
    return true;
}

void FramePublisher::CarryOver(SharedBlock& left) {
    SharedBlock& block = *m_connection.Block();
    // The left block is as open to other processes as any: its values are checked again.
    const FrameSize size = ValidOutputSize(GuardedLoad(left.outWidth), GuardedLoad(left.outHeight));
    const std::int32_t vacantWidth = Atomic(left.vacantWidth).load();
    const std::int32_t vacantHeight = Atomic(left.vacantHeight).load();
    const std::int32_t vacantBytes = Atomic(left.vacantBytes).load();
    const bool carriesVacant = Atomic(left.customVacant).load() != 0u &&
                               IsValidVacantPicture(vacantWidth, vacantHeight, vacantBytes);
    const bool carriesFrame = Atomic(left.hasPayload).load() != 0u;

    BeginGuardedWrite(block);
    StoreOutputFormat(block, size, GuardedLoad(left.nv12First) != 0u ? 1u : 0u);
    Atomic(block.outFps).store(Atomic(left.outFps).load());
    for (std::uint32_t SharedBlock::*field : {&SharedBlock::cameraOn, &SharedBlock::mirror,
                                              &SharedBlock::flip, &SharedBlock::rotation}) {
        Atomic(block.*field).store(Atomic(left.*field).load());
    }
    if (carriesVacant) {
        std::memcpy(block.vacantArea, left.vacantArea, static_cast<std::size_t>(vacantBytes));
        Atomic(block.vacantWidth).store(vacantWidth);
        Atomic(block.vacantHeight).store(vacantHeight);
        Atomic(block.vacantBytes).store(vacantBytes);
        Atomic(block.customVacant).store(1u);
    }
    if (carriesFrame) {
        std::memcpy(block.frameArea, left.lastFrameArea, Nv12Bytes(size));
        std::memcpy(block.lastFrameArea, left.lastFrameArea, Nv12Bytes(size));
        Atomic(block.writerPid).store(platform::CurrentProcessId());
        Atomic(block.hasPayload).store(1u);
    }
    FinishSettingsPoke(block);
}

void FramePublisher::SanitizeBlock() {
    SharedBlock& block = *m_connection.Block();
    const std::int32_t width = Atomic(block.outWidth).load();
    const std::int32_t height = Atomic(block.outHeight).load();
    if (width <= 0 || height <= 0) {
        Atomic(block.outWidth).store(kDefaultWidth);
        Atomic(block.outHeight).store(kDefaultHeight);
    }
    if (Atomic(block.outFps).load() < 1) Atomic(block.outFps).store(kDefaultFps);
    if (Atomic(block.nv12First).load() > 1u) Atomic(block.nv12First).store(1u);
    RepairExtensionFields(block);
}

bool FramePublisher::PublishFrame(const std::uint8_t* source, std::int32_t width,
                                  std::int32_t height) {
    if (source == nullptr || !geometry::IsSideInRange(width) || !geometry::IsSideInRange(height)) {
        return false;
    }
    const FrameSize size{width & ~1, height & ~1};
    return PublishFrameWith(size, [&](std::uint8_t* frameArea) {
        std::memcpy(frameArea, source, Nv12Bytes(size));
        return true;
    });
}

bool FramePublisher::BeginPublish(FrameSize size) {
    // Only a size the block can hold as an output size (even, 2..4096).
    if (ValidOutputSize(size.width, size.height) != size || !OpenOrCreateBlock()) return false;
    BeginGuardedWrite(*m_connection.Block());
    return true;
}

bool FramePublisher::FinishPublish(FrameSize size, bool written) {
    SharedBlock& block = *m_connection.Block();
    if (!written) {
        // Readers may have seen part of the attempt: put the held frame back.
        std::memcpy(block.frameArea, block.lastFrameArea, Nv12Bytes(HeldFrameSize(block)));
        EndGuardedWrite(block);
        return false;
    }
    GuardedStore(block.outWidth, size.width);
    GuardedStore(block.outHeight, size.height);
    std::memcpy(block.lastFrameArea, block.frameArea, Nv12Bytes(size));
    std::atomic_thread_fence(std::memory_order_seq_cst);
    Atomic(block.takeCount).store(0);
    Atomic(block.seq).fetch_add(1u);
    Atomic(block.framePending).store(1u);
    Atomic(block.writerPid).store(platform::CurrentProcessId());
    Atomic(block.hasPayload).store(1u);
    EndGuardedWrite(block);
    SetEvent();
    return true;
}

FrameSize FramePublisher::HeldFrameSize(SharedBlock& block) {
    return ValidOutputSize(GuardedLoad(block.outWidth), GuardedLoad(block.outHeight));
}

void FramePublisher::StoreOutputFormat(SharedBlock& block, FrameSize size,
                                       std::uint32_t nv12First) {
    GuardedStore(block.outWidth, size.width);
    GuardedStore(block.outHeight, size.height);
    GuardedStore(block.nv12First, nv12First);
}

void FramePublisher::AnnounceOutputFormat(FrameSize size, std::uint32_t nv12First) {
    AnnounceOutputFormat(size, nv12First, [](SharedBlock&, FrameSize) {});
}

void FramePublisher::FinishSettingsPoke(SharedBlock& block) {
    std::atomic_thread_fence(std::memory_order_seq_cst);
    Atomic(block.seq).fetch_add(1u);
    Atomic(block.framePending).store(1u);
    EndGuardedWrite(block);
    SetEvent();
}

void FramePublisher::SetEvent() {
    if (auto* event = m_connection.Event()) event->Set();
}

}  // namespace orvanecam::exchange
