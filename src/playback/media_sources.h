#pragma once
// The two media sources the module exports: a media file played through the camera with its
// sound, and an image file (each picture of an animated one at its time).
#include <orvanecam/orvanecam.h>

#include <cstdint>

#include "camera/identity.h"

namespace orvanecam::playback {

// Plays the file at path through camera to its end: 0, or a Win32 code (see
// getMultiMediaToCamera).
std::uint32_t PlayMediaFile(const camera::CameraIdentity& camera, const OrvaneCamChar16* path);
// Shows the image file at path through camera: 0, or a Win32 code (see getImageToCamera).
std::uint32_t ShowImageFile(const camera::CameraIdentity& camera, const OrvaneCamChar16* path);
// Both return 1223 once StopAllPlays or StopPlaysOf(camera) (play_ticket.h) is called while they
// run.

}  // namespace orvanecam::playback
