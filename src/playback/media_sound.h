#pragma once
// The sound of a media input played where the camera's producer routes it (the audio device, the
// camera's microphone, or both): its decoder, resampler and queue opened together, and the
// decoder's frames queued as they come.
#include <cstdint>
#include <optional>

#include "camera/identity.h"
#include "playback/media_input.h"
#include "playback/sound_queue.h"

namespace orvanecam::playback {

// Opens input's audio decoder, its resampler and, as camera's route asks, the default audio
// device and a tap to camera's microphone into sound: 0 (and no sound) for an input without an
// audio stream, the decoder's or the resampler's code, or 110 without a device where the route
// asks for one.
std::uint32_t OpenSound(MediaInput& input, SoundPolicy policy, const camera::CameraIdentity& camera,
                        std::optional<SoundQueue>& sound);

// Queues every frame the audio decoder has ready: 0 or the first failing code. lastReceive is the
// receive that ended the loop.
std::uint32_t QueueReadyAudio(MediaInput& input, SoundQueue& sound, int& lastReceive);

}  // namespace orvanecam::playback
