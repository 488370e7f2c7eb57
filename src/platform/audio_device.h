#pragma once
// An audio output (the system's default or one named), playing 48,000 Hz stereo signed 16-bit PCM
// from buffers the caller owns. Buffers complete in the order they were submitted; the caller polls
// for that. Windows uses wave-out; other systems the desktop sound server (PulseAudio or PipeWire's
// PulseAudio service).
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace orvanecam::platform {

inline constexpr std::uint32_t kAudioRate = 48000;
inline constexpr std::uint32_t kAudioChannels = 2;
inline constexpr std::uint32_t kAudioBytesPerFrame = 4;  // two 16-bit samples

// One buffer of sound and the device's bookkeeping for it. It must stay at one address from
// Submit until Release.
struct AudioChunk {
    std::vector<std::uint8_t> data;
    std::uint64_t endOffset = 0;                     // bytes submitted up to and including this one
    alignas(8) unsigned char deviceHeader[64] = {};  // the platform's per-buffer record
};

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;
    // Starts playing chunk after the ones before it: 0, 13 when the device cannot take the
    // buffer, 29 when writing it fails (the chunk is then not the device's).
    virtual std::uint32_t Submit(AudioChunk& chunk) = 0;
    // Whether the device has finished playing chunk.
    virtual bool IsDone(AudioChunk& chunk) = 0;
    // Gives a finished (or failed) chunk back to the caller.
    virtual void Release(AudioChunk& chunk) = 0;
    // Stops playing at once and finishes every submitted chunk, so that each can be released and
    // the device closed (a device may refuse to close while it still owns buffers).
    virtual void Reset() = 0;
};

// The output device called name (as the system lists it: a wave-out device's name on Windows,
// whose first 31 characters are all the system keeps; a sink's name on other systems), or with an
// empty name the default one. Nothing, with error 1168 when no device has the name, else 110,
// when it cannot be opened.
std::unique_ptr<AudioDevice> OpenAudioDevice(std::u16string_view name, std::uint32_t& error);

}  // namespace orvanecam::platform
