#pragma once
// How FFmpeg's failures map onto the Win32 codes of the media sources.
#include <cstdint>

#include "platform/win32_errors.h"

namespace orvanecam::playback {

// ENOMEM 8, EINVAL 87, ENOENT 2, end of file 38; any other failure the step's default.
std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback);

}  // namespace orvanecam::playback
