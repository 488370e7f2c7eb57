#pragma once
// A camera's sound: a ring of 48,000 Hz stereo signed 16-bit samples in a named shared object of
// its own beside the frame block. One producer writes at a time; any number of recorders read,
// each at its own position. Any process may write any value here, so readers validate all of it.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace orvanecam::exchange {

inline constexpr std::string_view kAudioRingName = "OrvaneCam2_Audio_SharedMemory";
inline constexpr std::uint32_t kAudioRingMagic = 0x5541434F;  // "OCAU"
inline constexpr std::uint32_t kAudioRingRate = 48000;
inline constexpr std::uint32_t kAudioRingChannels = 2;
// Two seconds of sound: a recorder may fall this far behind before it skips ahead.
inline constexpr std::uint32_t kAudioRingFrames = 2 * kAudioRingRate;
// A writer publishes at most this many frames at once; readers keep clear of the part of the
// ring the next write may be overwriting.
inline constexpr std::uint32_t kAudioWriteFrames = kAudioRingRate / 10;
// A writer that has written nothing for this long gives the ring up to another producer.
inline constexpr std::int64_t kAudioIdleWriter100ns = 10000000;

struct AudioRing {
    std::uint32_t magic;           // kAudioRingMagic once initialised
    std::uint32_t rate;            // kAudioRingRate
    std::uint32_t channels;        // kAudioRingChannels
    std::uint32_t capacityFrames;  // kAudioRingFrames
    std::int32_t writerPid;        // the producer writing, 0 = none
    std::uint32_t reserved;
    std::uint64_t writePosition;  // frames written ever; every frame before it is complete
    std::int64_t writeTime100ns;  // the camera's clock when writePosition was reached
    std::int16_t samples[kAudioRingFrames * kAudioRingChannels];
};

inline constexpr std::size_t kAudioRingBytes = sizeof(AudioRing);
static_assert(kAudioRingBytes == 40 + kAudioRingFrames * kAudioRingChannels * 2);

// Stores the layout values; a ring made by the platform is otherwise zero.
void InitialiseAudioRing(AudioRing& ring);
// Whether the ring holds this layout (a ring with other values is read as silence).
bool IsValidAudioRing(const AudioRing& ring);

// Makes processId the ring's writer when the ring has none, or its writer is this process, has
// ended, or has written nothing for kAudioIdleWriter100ns; false while another producer writes.
template <class IsAlive>
bool ClaimAudioRing(AudioRing& ring, std::int32_t processId, std::int64_t now100ns,
                    IsAlive&& isAlive) {
    std::atomic_ref<std::int32_t> writer(ring.writerPid);
    std::int32_t holder = writer.load();
    if (holder == processId) return true;
    const std::int64_t lastWrite = std::atomic_ref<std::int64_t>(ring.writeTime100ns).load();
    const bool idle = now100ns - lastWrite >= kAudioIdleWriter100ns || now100ns < lastWrite;
    if (holder != 0 && !idle && isAlive(holder)) return false;
    // Another claimant may have won meanwhile: then it writes, and this producer waits its turn.
    return writer.compare_exchange_strong(holder, processId) || holder == processId;
}

// Appends frames (interleaved stereo) and publishes them with the time now100ns, in pieces of at
// most kAudioWriteFrames.
void WriteAudio(AudioRing& ring, const std::int16_t* samples, std::size_t frames,
                std::int64_t now100ns);

// One recorder's place in the ring.
class AudioRingReader {
  public:
    // Starts at the ring's newest sound.
    void Start(const AudioRing& ring);
    // Copies up to frames frames of sound not yet read into out (interleaved stereo): the number
    // copied, 0 when there is none. A reader that fell behind further than the ring keeps, or
    // whose copy the writer overtook, skips to the newest sound; a ring that went back (a new
    // writer) or is not valid is followed from its newest sound.
    std::size_t Read(const AudioRing& ring, std::int16_t* out, std::size_t frames);
    // Frames skipped so far because the writer got too far ahead.
    std::uint64_t SkippedFrames() const { return m_skipped; }

  private:
    std::uint64_t m_position = 0;
    std::uint64_t m_skipped = 0;
};

}  // namespace orvanecam::exchange
