#pragma once
// Sound a producer sends to a camera's microphone: converted to the ring's 48,000 Hz stereo
// signed 16-bit with FFmpeg's resampler and appended to the camera's sound ring.
#include <cstddef>
#include <cstdint>

#include "camera/identity.h"

namespace orvanecam::playback {

// The sample types producers send, interleaved.
enum class SampleType : std::int32_t { kInt16 = 1, kFloat32 = 2 };

// Sends frames frames of channels (1..8) interleaved samples of type at rate (8,000..192,000 Hz)
// to camera's sound ring: 0; 87 for no samples or a value out of range; 170 while another
// producer's sound is being written (one that ended, or sent nothing for a second, gives way);
// 110 when the ring cannot be opened; 8 or 13 from the resampler.
std::uint32_t SendSoundToCamera(const camera::CameraIdentity& camera, const void* samples,
                                std::int32_t frames, std::int32_t channels, std::int32_t rate,
                                std::int32_t type);

// Appends frames frames of sound already in the ring's format (48,000 Hz stereo 16-bit) to
// camera's sound ring, with the codes of SendSoundToCamera.
std::uint32_t SendRingSoundToCamera(const camera::CameraIdentity& camera,
                                    const std::int16_t* samples, std::size_t frames);

}  // namespace orvanecam::playback
