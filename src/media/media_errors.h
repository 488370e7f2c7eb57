#pragma once
// Win32 result codes of the media sources, and how FFmpeg's failures map onto them.
#include <cstdint>

#include "api/result_codes.h"
#include "platform/win32_errors.h"

namespace orvanecam::media {

using api::kErrorBadPathname;
using api::kErrorInvalidData;
using api::kErrorWriteFault;
using platform::kErrorFileNotFound;
using platform::kErrorInvalidHandle;
using platform::kErrorInvalidParameter;
using platform::kErrorNotEnoughMemory;
using platform::kErrorOpenFailed;
using platform::kErrorUnsupportedType;

inline constexpr std::uint32_t kErrorOutOfMemory = 14;
inline constexpr std::uint32_t kErrorReadFault = 30;
inline constexpr std::uint32_t kErrorHandleEof = 38;
inline constexpr std::uint32_t kErrorTimeout = 1460;

// ENOMEM 14, EINVAL 87, ENOENT 2, end of file 38; any other failure the step's default.
std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback);

}  // namespace orvanecam::media
