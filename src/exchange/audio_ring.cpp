#include "exchange/audio_ring.h"

#include <algorithm>
#include <cstring>

namespace orvanecam::exchange {
namespace {

std::atomic_ref<std::uint64_t> Position(const AudioRing& ring) {
    return std::atomic_ref<std::uint64_t>(const_cast<std::uint64_t&>(ring.writePosition));
}

std::uint32_t Load(const std::uint32_t& field) {
    return std::atomic_ref<std::uint32_t>(const_cast<std::uint32_t&>(field)).load();
}

// Calls copy(ringAt, at, bytes) for each stretch of frames frames from position on, split where
// the ring wraps: ringAt and at are sample indexes in the ring and in the caller's samples.
template <class Copy>
void ForEachStretch(std::uint64_t position, std::size_t frames, Copy&& copy) {
    for (std::size_t done = 0; done < frames;) {
        const std::size_t slot = (position + done) % kAudioRingFrames;
        const std::size_t run = std::min(frames - done, kAudioRingFrames - slot);
        copy(slot * kAudioRingChannels, done * kAudioRingChannels,
             run * kAudioRingChannels * sizeof(std::int16_t));
        done += run;
    }
}

// The newest frames a reader may take: those the next write cannot be overwriting.
constexpr std::uint64_t kReadableFrames = kAudioRingFrames - kAudioWriteFrames;

}  // namespace

void InitialiseAudioRing(AudioRing& ring) {
    std::atomic_ref<std::uint32_t>(ring.rate).store(kAudioRingRate);
    std::atomic_ref<std::uint32_t>(ring.channels).store(kAudioRingChannels);
    std::atomic_ref<std::uint32_t>(ring.capacityFrames).store(kAudioRingFrames);
    std::atomic_ref<std::uint32_t>(ring.magic).store(kAudioRingMagic);
}

bool IsValidAudioRing(const AudioRing& ring) {
    return Load(ring.magic) == kAudioRingMagic && Load(ring.rate) == kAudioRingRate &&
           Load(ring.channels) == kAudioRingChannels &&
           Load(ring.capacityFrames) == kAudioRingFrames;
}

void WriteAudio(AudioRing& ring, const std::int16_t* samples, std::size_t frames,
                std::int64_t now100ns) {
    while (frames > 0) {
        const std::size_t piece = std::min<std::size_t>(frames, kAudioWriteFrames);
        const std::uint64_t position = Position(ring).load();
        ForEachStretch(position, piece, [&](std::size_t ringAt, std::size_t at, std::size_t bytes) {
            std::memcpy(&ring.samples[ringAt], samples + at, bytes);
        });
        std::atomic_ref<std::int64_t>(ring.writeTime100ns).store(now100ns);
        Position(ring).store(position + piece);
        samples += piece * kAudioRingChannels;
        frames -= piece;
    }
}

void AudioRingReader::Start(const AudioRing& ring) {
    m_position = Position(ring).load();
}

std::size_t AudioRingReader::Read(const AudioRing& ring, std::int16_t* out, std::size_t frames) {
    if (!IsValidAudioRing(ring)) return 0;
    const std::uint64_t written = Position(ring).load();
    if (written < m_position) m_position = written;  // a new writer started the count again
    if (written - m_position > kReadableFrames) {
        m_skipped += written - m_position;
        m_position = written;
    }
    const std::size_t count =
        static_cast<std::size_t>(std::min<std::uint64_t>(frames, written - m_position));
    ForEachStretch(m_position, count, [&](std::size_t ringAt, std::size_t at, std::size_t bytes) {
        std::memcpy(out + at, &ring.samples[ringAt], bytes);
    });
    // The writer may have lapped the copy meanwhile (or started the count again): then what was
    // copied is not to be trusted, and reading goes on from the newest sound.
    const std::uint64_t after = Position(ring).load();
    if (after < m_position || after - m_position > kReadableFrames) {
        if (after > m_position) m_skipped += after - m_position;
        m_position = after;
        return 0;
    }
    m_position += count;
    return count;
}

}  // namespace orvanecam::exchange
