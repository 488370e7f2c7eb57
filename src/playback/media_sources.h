#pragma once
// The two media sources the module exports: a media file played through the camera with its
// sound, and an image file (each picture of an animated one at its time).
#include <orvanecam/orvanecam.h>

#include <cstdint>

namespace orvanecam::playback {

// Plays the file at path to its end: 0, or a Win32 code (see getMultiMediaToCamera).
std::uint32_t PlayMediaFile(const OrvaneCamChar16* path);
// Shows the image file at path: 0, or a Win32 code (see getImageToCamera).
std::uint32_t ShowImageFile(const OrvaneCamChar16* path);
// Both return 1223 once StopAllPlays (play_ticket.h) is called while they run.

}  // namespace orvanecam::playback
