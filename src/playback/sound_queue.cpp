#include "playback/sound_queue.h"

#include <algorithm>
#include <new>

#include "platform/clock.h"
#include "playback/media_errors.h"
#include "playback/play_ticket.h"

namespace orvanecam::playback {

SoundQueue::SoundQueue(std::unique_ptr<platform::AudioDevice> device, std::uint32_t stallMs,
                       SoundPolicy policy, SoundTap tap)
    : m_device(std::move(device)), m_stallMs(stallMs), m_policy(policy), m_tap(std::move(tap)) {}

SoundQueue::~SoundQueue() {
    (void)DrainAudio();
    m_device.reset();
}

template <class Done>
bool SoundQueue::WaitReaping(Done&& done, std::uint32_t sleepMs) {
    std::size_t remaining = m_queue.size();
    std::uint64_t lastProgress = platform::TickCountMs();
    for (;;) {
        ReapFinishedAudioBuffers();
        if (done()) return true;
        if (CurrentPlayStopped()) return false;
        if (m_queue.size() != remaining) {
            remaining = m_queue.size();
            lastProgress = platform::TickCountMs();
        } else if (platform::TickCountMs() - lastProgress >= m_stallMs) {
            return false;
        }
        platform::SleepMs(sleepMs);
    }
}

// A stalled device: its buffers can no longer be trusted to finish. It is reset (which hands every
// buffer back), each buffer is released, the device is closed, and only then are the buffers
// freed: a device that resumed, or refused to close, must never write into freed memory.
void SoundQueue::Abandon() {
    m_device->Reset();
    for (auto& chunk : m_queue) m_device->Release(*chunk);
    m_device.reset();
    m_queue.clear();
    m_queuedBytes = 0;
}

std::uint32_t SoundQueue::GiveUp() {
    Abandon();
    return CurrentPlayStopped() ? platform::kErrorCancelled : platform::kErrorTimeout;
}

std::uint32_t SoundQueue::QueueAudioBuffer(const std::uint8_t* bytes, std::uint64_t count) {
    if (!m_device && !m_tap) return platform::kErrorInvalidHandle;
    if (bytes == nullptr || count < 1 || count > 0xFFFFFFFFu)
        return platform::kErrorInvalidParameter;
    if (m_tap) m_tap(bytes, count);
    if (!m_device) return 0;
    const bool live = m_policy == SoundPolicy::kLive;
    const std::uint64_t limit = live ? kMaxQueuedLiveAudioBytes : kMaxQueuedAudioBytes;
    if (live) {
        ReapFinishedAudioBuffers();
        if (m_queuedBytes > limit) return 0;
    } else if (!WaitReaping([&] { return m_queuedBytes <= limit; }, 1)) {
        return GiveUp();
    }
    std::unique_ptr<platform::AudioChunk> chunk(new (std::nothrow) platform::AudioChunk);
    if (!chunk) return platform::kErrorNotEnoughMemory;
    chunk->data.assign(bytes, bytes + count);
    if (const std::uint32_t error = m_device->Submit(*chunk); error != 0) return error;
    m_queuedBytes += count;
    m_queue.push_back(std::move(chunk));
    return 0;
}

void SoundQueue::ReapFinishedAudioBuffers() {
    while (!m_queue.empty() && m_device->IsDone(*m_queue.front())) {
        platform::AudioChunk& chunk = *m_queue.front();
        m_device->Release(chunk);
        m_queuedBytes -= std::min<std::uint64_t>(m_queuedBytes, chunk.data.size());
        m_queue.pop_front();
    }
}

std::uint32_t SoundQueue::DrainAudio() {
    if (!m_device) return 0;
    return WaitReaping([&] { return m_queue.empty(); }, 5) ? 0u : GiveUp();
}

}  // namespace orvanecam::playback
