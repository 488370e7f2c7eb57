#pragma once
// Where the sound of a camera's plays goes: the speakers (as always), the camera's microphone, or
// both, and which output device counts as the speakers; the producer's choice, for each camera of
// its process.
#include <cstdint>
#include <string>
#include <string_view>

#include "camera/identity.h"

namespace orvanecam::playback {

enum class SoundRoute : std::int32_t { kSpeakers = 1, kMicrophone = 2, kBoth = 3 };

// 0, or 87 for a value that is not a route.
std::uint32_t SetSoundRoute(const camera::CameraIdentity& camera, std::int32_t route);
SoundRoute SoundRouteOf(const camera::CameraIdentity& camera);

// The longest output device name taken.
inline constexpr std::size_t kMaxOutputDeviceNameUnits = 256;

// The output device the camera's speaker sound plays on from the next play, "" for the system's
// default: 0, 87 for a name longer than kMaxOutputDeviceNameUnits, 1168 when no output device
// has the name now (the choice is then unchanged).
std::uint32_t SetSoundOutputDevice(const camera::CameraIdentity& camera, std::u16string_view name);
std::u16string SoundOutputDeviceOf(const camera::CameraIdentity& camera);

inline bool ToSpeakers(SoundRoute route) {
    return route != SoundRoute::kMicrophone;
}
inline bool ToMicrophone(SoundRoute route) {
    return route != SoundRoute::kSpeakers;
}

}  // namespace orvanecam::playback
