#pragma once
// The queue of sound buffers written to the audio device: at most half a second queued for a file
// and a tenth for a live source (plus the chunk being admitted), buffers reclaimed strictly in
// submission order, and waits that give up when the device stops finishing buffers.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "platform/audio_device.h"

namespace orvanecam::playback {

// Half a second of 48,000 Hz stereo 16-bit sound.
inline constexpr std::uint64_t kMaxQueuedAudioBytes = 96000;
// A tenth of a second: a live source's sound, never more behind its picture than this.
inline constexpr std::uint64_t kMaxQueuedLiveAudioBytes = 19200;
// A device that finishes nothing for this long is taken for dead.
inline constexpr std::uint32_t kAudioStallMs = 5000;

// What queueing does while the queue is full: a file's sound waits for the device, a live
// source's is dropped so that it cannot fall behind the picture.
enum class SoundPolicy { kFile, kLive };

// Takes a copy of every buffer queued (48,000 Hz stereo 16-bit), as it is queued.
using SoundTap = std::function<void(const std::uint8_t* bytes, std::uint64_t count)>;

class SoundQueue {
  public:
    // device may be null: then there is no sound and queueing gives 6, unless a tap takes it.
    explicit SoundQueue(std::unique_ptr<platform::AudioDevice> device = nullptr,
                        std::uint32_t stallMs = kAudioStallMs,
                        SoundPolicy policy = SoundPolicy::kFile, SoundTap tap = nullptr);
    SoundQueue(const SoundQueue&) = delete;
    SoundQueue& operator=(const SoundQueue&) = delete;
    // Waits for the queued sound to play (bounded as DrainAudio), then closes the device.
    ~SoundQueue();

    bool IsOpen() const { return m_device != nullptr; }
    std::uint64_t QueuedBytes() const { return m_queuedBytes; }
    std::size_t QueuedBuffers() const { return m_queue.size(); }

    // Hands bytes to the tap, then copies them into a buffer of its own and writes it to the
    // device, first waiting while the queue is full (a live queue drops the bytes instead and
    // returns 0): 0, 6 without a device or tap,
    // 87 for no or too many bytes, 8, 13 or 29 from the device, 1460 when the device stalls,
    // 1223 when the play is stopped.
    std::uint32_t QueueAudioBuffer(const std::uint8_t* bytes, std::uint64_t count);
    // Reclaims finished buffers from the front of the queue, stopping at the first unfinished.
    void ReapFinishedAudioBuffers();
    // Waits until every queued buffer has played: 0, or 1460 when the device stalls or 1223 when
    // the play is stopped (the device
    // is then closed and its buffers dropped).
    std::uint32_t DrainAudio();

  private:
    // Waits, reaping, until done() holds; false when nothing finished for the stall time.
    template <class Done>
    bool WaitReaping(Done&& done, std::uint32_t sleepMs);
    void Abandon();
    // Abandons the device after a wait ended early: 1223 for a stopped play, else 1460.
    std::uint32_t GiveUp();

    std::unique_ptr<platform::AudioDevice> m_device;
    std::uint32_t m_stallMs;
    SoundPolicy m_policy;
    SoundTap m_tap;
    std::deque<std::unique_ptr<platform::AudioChunk>> m_queue;
    std::uint64_t m_queuedBytes = 0;
};

}  // namespace orvanecam::playback
