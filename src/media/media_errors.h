#pragma once
// Win32 result codes of the media sources, and how FFmpeg's failures map onto them.
#include <cstdint>

namespace orvanecam::media {

inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kErrorOutOfMemory = 14;
inline constexpr std::uint32_t kErrorWriteFault = 29;
inline constexpr std::uint32_t kErrorReadFault = 30;
inline constexpr std::uint32_t kErrorHandleEof = 38;
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorOpenFailed = 110;
inline constexpr std::uint32_t kErrorBadPathname = 161;
inline constexpr std::uint32_t kErrorTimeout = 1460;
inline constexpr std::uint32_t kErrorUnsupportedType = 1630;

// ENOMEM 14, EINVAL 87, ENOENT 2, end of file 38; any other failure the step's default.
std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback);

}  // namespace orvanecam::media
