#pragma once
// Live sources (network streams, pipes) played through the camera, newest frame first.
#include <cstdint>

#include "camera/identity.h"
#include "playback/media_location.h"

namespace orvanecam::playback {

// How long opening a live source may take before it counts as unreachable (1460).
inline constexpr std::uint32_t kLiveConnectTimeoutMs = 5000;
// How long a connected source may send nothing before it is reconnected.
inline constexpr std::uint32_t kLiveStallMs = 3000;
// The longest wait between reconnections (they start at a quarter second and double).
inline constexpr std::uint32_t kLiveMaxRetryMs = 4000;

// Plays the live source at location through camera until it ends (a pipe: 0), it is stopped
// (1223), or, before it was ever reached, opening it fails (1460 time-out, 1225 refused, 1232
// unreachable, or the demultiplexer's failure). Once reached, a source that drops or stalls is
// reopened while the camera shows its vacant picture.
std::uint32_t PlayLiveSource(const camera::CameraIdentity& camera, const MediaLocation& location);

}  // namespace orvanecam::playback
