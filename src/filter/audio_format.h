#pragma once
// The microphone's media types: 16-bit PCM described by a WAVEFORMATEX block, at 48 or 44.1 kHz,
// stereo or mono; 48 kHz stereo (the camera's own sound) first.
#include <optional>

#include "camera/microphone_feed.h"
#include "sdk/directshow.h"
#include "streaming/media_type.h"

namespace orvanecam::filter {

inline constexpr int kAudioTypeCount = 4;

// The format offered at position 0..kAudioTypeCount-1.
camera::SoundFormat AudioFormatAt(int position);
// Fills type with format as a PCM type; E_OUTOFMEMORY when the format block cannot be had.
HRESULT MakeAudioType(const camera::SoundFormat& format, streaming::CMediaType& type);
// The format of a type the microphone makes: audio, PCM, a WAVEFORMATEX block of at least its
// size whose rate, channels, 16 bits, block alignment and byte rate agree with one of the
// formats. Nothing for any other type (its block is never read past its stated size).
std::optional<camera::SoundFormat> AudioFormatOf(const AM_MEDIA_TYPE& type);
// The range IAMStreamConfig reports for every position.
AUDIO_STREAM_CONFIG_CAPS AudioCapabilities();

}  // namespace orvanecam::filter
