#pragma once
// What a camera's microphone records: the camera's sound ring, read from its newest sound on,
// converted to the format the recorder chose (48 or 44.1 kHz, stereo or mono, 16-bit), with
// silence wherever no producer has sent sound, so a recorder is never kept waiting.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "camera/identity.h"
#include "exchange/audio_ring_mapping.h"

namespace orvanecam::camera {

struct SoundFormat {
    std::uint32_t rate;      // frames a second
    std::uint32_t channels;  // 1 or 2
    bool operator==(const SoundFormat&) const = default;
};

// The ring's own format, which needs no conversion.
inline constexpr SoundFormat kRingSoundFormat{exchange::kAudioRingRate,
                                              exchange::kAudioRingChannels};

// Whether the microphone records in format.
bool IsMicrophoneFormat(const SoundFormat& format);

// Threads: one at a time (the recorder's); allocates nothing once made.
class MicrophoneFeed {
  public:
    explicit MicrophoneFeed(const CameraIdentity& camera) : m_camera(camera) {}

    // Records from the ring's newest sound on, in format (one IsMicrophoneFormat accepts).
    void Start(const SoundFormat& format);
    // Fills frames frames of the format into out (interleaved).
    void Fill(std::int16_t* out, std::size_t frames);

  private:
    // Maps the ring and reads it from its newest sound on (nothing mapped when it cannot be had).
    void OpenRing();
    // Frames of the ring's format, the ring's sound first and silence for the rest.
    void ReadRing(std::int16_t* out, std::size_t frames);
    // Fill for another rate or channel count, at most kChunkFrames output frames.
    void ConvertChunk(std::int16_t* out, std::size_t frames);

    static constexpr std::size_t kChunkFrames = 1024;

    const CameraIdentity& m_camera;
    std::optional<exchange::AudioRingMapping> m_ring;
    exchange::AudioRingReader m_reader;
    SoundFormat m_format = kRingSoundFormat;
    // The ring frames around the output's position, and how far between them it is, in
    // 1/rate-ths of a ring frame.
    std::array<std::int16_t, 2> m_previous{};
    std::array<std::int16_t, 2> m_next{};
    std::uint32_t m_phase = 0;
    std::array<std::int16_t,
               (kChunkFrames * exchange::kAudioRingRate / 44100 + 2) * exchange::kAudioRingChannels>
        m_staging{};
};

}  // namespace orvanecam::camera
