#include "camera/microphone_feed.h"

#include <algorithm>

namespace orvanecam::camera {

bool IsMicrophoneFormat(const SoundFormat& format) {
    return (format.rate == 48000 || format.rate == 44100) &&
           (format.channels == 1 || format.channels == 2);
}

void MicrophoneFeed::Start(const SoundFormat& format) {
    m_format = format;
    m_previous = {};
    m_next = {};
    m_phase = 0;
    if (m_ring) {
        m_reader.Start(m_ring->Ring());
    } else {
        OpenRing();
    }
}

void MicrophoneFeed::OpenRing() {
    m_ring = exchange::AudioRingMapping::Open(m_camera.audioRingName);
    if (m_ring) m_reader.Start(m_ring->Ring());
}

void MicrophoneFeed::ReadRing(std::int16_t* out, std::size_t frames) {
    // A ring that could not be made at the start (no memory, a name taken) is tried again.
    if (!m_ring) OpenRing();
    const std::size_t read = m_ring ? m_reader.Read(m_ring->Ring(), out, frames) : 0;
    std::fill(out + read * exchange::kAudioRingChannels,
              out + frames * exchange::kAudioRingChannels, std::int16_t{0});
}

void MicrophoneFeed::Fill(std::int16_t* out, std::size_t frames) {
    if (m_format == kRingSoundFormat) {
        ReadRing(out, frames);
        return;
    }
    while (frames > 0) {
        const std::size_t chunk = std::min(frames, kChunkFrames);
        ConvertChunk(out, chunk);
        out += chunk * m_format.channels;
        frames -= chunk;
    }
}

void MicrophoneFeed::ConvertChunk(std::int16_t* out, std::size_t frames) {
    // Each output frame moves the position by ring rate / output rate ring frames; exactly the
    // ring frames this chunk passes are read, so the ring is read as fast as it is written.
    const std::uint32_t rate = m_format.rate;
    const std::uint64_t advance = m_phase + frames * std::uint64_t{exchange::kAudioRingRate};
    const auto needed = static_cast<std::size_t>(advance / rate);
    ReadRing(m_staging.data(), needed);
    const std::int16_t* staged = m_staging.data();
    for (std::size_t frame = 0; frame < frames; ++frame) {
        m_phase += exchange::kAudioRingRate;
        while (m_phase >= rate) {
            m_phase -= rate;
            m_previous = m_next;
            m_next = {staged[0], staged[1]};
            staged += exchange::kAudioRingChannels;
        }
        // Linear interpolation between the two ring frames around the position.
        std::int32_t mixed[2];
        for (std::size_t channel = 0; channel < 2; ++channel) {
            const std::int32_t from = m_previous[channel];
            const std::int32_t to = m_next[channel];
            mixed[channel] =
                from + static_cast<std::int32_t>((to - from) * std::int64_t{m_phase} / rate);
        }
        if (m_format.channels == 1) {
            *out++ = static_cast<std::int16_t>((mixed[0] + mixed[1]) / 2);
        } else {
            *out++ = static_cast<std::int16_t>(mixed[0]);
            *out++ = static_cast<std::int16_t>(mixed[1]);
        }
    }
}

}  // namespace orvanecam::camera
