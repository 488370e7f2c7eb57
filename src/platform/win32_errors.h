#pragma once
// The Win32 error codes the module reports, on every platform, and their HRESULT form. This is
// the one list: every layer names its codes from here.
#include <cstdint>

namespace orvanecam::platform {

inline constexpr std::uint32_t kErrorSuccess = 0;
inline constexpr std::uint32_t kErrorFileNotFound = 2;
inline constexpr std::uint32_t kErrorPathNotFound = 3;
inline constexpr std::uint32_t kErrorAccessDenied = 5;
inline constexpr std::uint32_t kErrorInvalidHandle = 6;
inline constexpr std::uint32_t kErrorNotEnoughMemory = 8;
inline constexpr std::uint32_t kErrorInvalidData = 13;  // a frame or picture cannot be converted
inline constexpr std::uint32_t kErrorNotReady = 21;     // a registered class key refused a name
inline constexpr std::uint32_t kErrorWriteFault = 29;   // a frame or sound could not be written
inline constexpr std::uint32_t kErrorReadFault = 30;
inline constexpr std::uint32_t kErrorGenFailure = 31;
inline constexpr std::uint32_t kErrorHandleEof = 38;
inline constexpr std::uint32_t kErrorNotSupported = 50;  // a URL scheme this build cannot read
inline constexpr std::uint32_t kErrorInvalidParameter = 87;
inline constexpr std::uint32_t kErrorOpenFailed = 110;
inline constexpr std::uint32_t kErrorDiskFull = 112;
inline constexpr std::uint32_t kErrorInsufficientBuffer = 122;
inline constexpr std::uint32_t kErrorBusy = 170;  // another producer's sound is being written
inline constexpr std::uint32_t kErrorBadPathname = 161;  // a path cannot be resolved
inline constexpr std::uint32_t kErrorAlreadyExists = 183;
inline constexpr std::uint32_t kErrorCancelled = 1223;  // a play was stopped
inline constexpr std::uint32_t kErrorConnectionRefused = 1225;
inline constexpr std::uint32_t kErrorHostUnreachable = 1232;
inline constexpr std::uint32_t kErrorMoreData = 234;
inline constexpr std::uint32_t kErrorNotFound = 1168;  // no audio output of the name asked for
inline constexpr std::uint32_t kErrorInternal = 1359;  // an unexpected failure inside the module
inline constexpr std::uint32_t kErrorTimeout = 1460;
inline constexpr std::uint32_t kErrorUnsupportedType = 1630;

// 0 stays 0 (S_OK); an error e becomes 0x80070000 | (e & 0xFFFF), as HRESULT_FROM_WIN32 does.
inline constexpr std::int32_t HresultFromWin32(std::uint32_t error) {
    return error == 0 ? 0 : static_cast<std::int32_t>(0x80070000u | (error & 0xFFFFu));
}

}  // namespace orvanecam::platform
