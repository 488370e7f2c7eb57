#include "exchange/reader.h"

#include <algorithm>
#include <cstring>

#include "exchange/block_lifecycle.h"
#include "platform/clock.h"
#include "platform/process.h"

namespace orvanecam::exchange {

bool FrameReader::OpenReaderBlock() {
    if (m_connection.Block() != nullptr) return true;
    std::lock_guard<std::mutex> lock(m_openMutex);
    if (m_connection.Block() != nullptr) return true;
    if (!m_connection.EnsureView()) return false;
    SharedBlock& block = *m_connection.Block();
    RepairExtensionFields(block);
    Atomic(block.readerCount).fetch_add(1);
    return true;
}

namespace {

void Detach(SharedBlock& block) {
    auto count = Atomic(block.readerCount);
    std::int32_t value = count.load();
    while (value > 0 && !count.compare_exchange_weak(value, value - 1)) {
    }
}

}  // namespace

FrameReader::~FrameReader() {
    if (SharedBlock* block = m_connection.Block()) Detach(*block);
}

void FrameReader::FollowPreferredBlock() {
    SharedBlock* left = m_connection.MoveToPreferredBlock();
    if (left == nullptr) return;
    SharedBlock& block = *m_connection.Block();
    RepairExtensionFields(block);
    Atomic(block.readerCount).fetch_add(1);
    Detach(*left);
}

void FrameReader::OpenReaderEvent() {
    m_connection.EnsureEvent(true);
}

OutputSettings FrameReader::ReadOutputSettings() const {
    SharedBlock* block = m_connection.Block();
    if (block == nullptr) return {kDefaultWidth, kDefaultHeight, kDefaultFps, 1u};
    return exchange::ReadOutputSettings(*block);
}

FrameSize FrameReader::ReadOutputFormat() const {
    const OutputSettings settings = ReadOutputSettings();
    return ValidOutputSize(settings.width, settings.height);
}

bool FrameReader::IsWriterAlive() const {
    SharedBlock* block = m_connection.Block();
    if (block == nullptr) return false;
    const std::int32_t writer = Atomic(block->writerPid).load();
    if (writer <= 0) return false;
    // A producer we may not open (higher privilege) still counts as alive.
    std::lock_guard<std::mutex> lock(m_writerMutex);
    return m_writerMonitor.Query(writer) != platform::ProcessState::kEnded;
}

PayloadDecision FrameReader::CheckPayload() {
    FollowPreferredBlock();
    SharedBlock* block = m_connection.Block();
    if (block == nullptr) return {false, 0u};
    std::uint32_t hasPayload = Atomic(block->hasPayload).load();
    const std::uint32_t cameraOn = Atomic(block->cameraOn).load();
    if (hasPayload != 0u && !IsWriterAlive()) {
        ForgetWriter(*block, Atomic(block->writerPid).load());
        hasPayload = 0u;
    }
    return {hasPayload != 0u && cameraOn != 0u, hasPayload};
}

std::uint32_t FrameReader::CurrentSeq() const {
    SharedBlock* block = m_connection.Block();
    return block != nullptr ? Atomic(block->seq).load() : 0u;
}

std::uint32_t FrameReader::WaitForNewFrame(std::uint32_t lastSeq) {
    constexpr std::int64_t kNewFrameWait = 150000;  // 15 ms
    return WaitForNewFrameUntil(lastSeq, platform::MonotonicTime100ns() + kNewFrameWait);
}

std::uint32_t FrameReader::WaitForNewFrameUntil(std::uint32_t lastSeq, std::int64_t deadline) {
    for (;;) {
        const std::uint32_t seq = CurrentSeq();
        if (seq != lastSeq) return seq;
        const std::int64_t remaining = deadline - platform::MonotonicTime100ns();
        if (remaining <= 0) return seq;
        const auto waitMs =
            static_cast<std::uint32_t>(std::min<std::int64_t>(remaining / 10000, 15));
        // The event stays set until every reader has taken the frame, so a set event that
        // brought nothing new must not turn this into a busy loop.
        auto* event = m_connection.Event();
        if (waitMs == 0 || event == nullptr || (event->Wait(waitMs) && CurrentSeq() == seq)) {
            platform::SleepUntil100ns(std::min(deadline, platform::MonotonicTime100ns() + 10000));
        }
    }
}

// The producer writes both frame areas, so there is nothing to copy: a copy here, outside the
// write lock, could only mix a newer frame into the held one.
void FrameReader::TakeFrame(std::uint32_t& lastSeq, const RenderedFrame& frame) {
    SharedBlock& block = *m_connection.Block();
    lastSeq = frame.seq;
    ClearPendingIfAllTook(Atomic(block.takeCount).fetch_add(1) + 1);
}

void FrameReader::ReleaseFrameOnStop() {
    SharedBlock* block = m_connection.Block();
    if (block == nullptr || m_connection.Event() == nullptr) return;
    ClearPendingIfAllTook(Atomic(block->takeCount).load());
}

void FrameReader::ClearPendingIfAllTook(std::int32_t takes) {
    SharedBlock& block = *m_connection.Block();
    if (takes < std::max(Atomic(block.readerCount).load(), 1)) return;
    Atomic(block.framePending).store(0u);
    if (auto* event = m_connection.Event()) event->Reset();
}

}  // namespace orvanecam::exchange
