#pragma once
// Where the sound of a camera's plays goes: the speakers (as always), the camera's microphone, or
// both; the producer's choice, for each camera of its process.
#include <cstdint>

#include "camera/identity.h"

namespace orvanecam::playback {

enum class SoundRoute : std::int32_t { kSpeakers = 1, kMicrophone = 2, kBoth = 3 };

// 0, or 87 for a value that is not a route.
std::uint32_t SetSoundRoute(const camera::CameraIdentity& camera, std::int32_t route);
SoundRoute SoundRouteOf(const camera::CameraIdentity& camera);

inline bool ToSpeakers(SoundRoute route) {
    return route != SoundRoute::kMicrophone;
}
inline bool ToMicrophone(SoundRoute route) {
    return route != SoundRoute::kSpeakers;
}

}  // namespace orvanecam::playback
