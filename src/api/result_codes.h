#pragma once
// Result codes of the exported functions, beyond the platform's common ones.
#include <cstdint>

#include "platform/win32_errors.h"

namespace orvanecam::api {

inline constexpr std::uint32_t kErrorInvalidData = 13;  // a frame or picture could not be converted
inline constexpr std::uint32_t kErrorNotReady = 21;     // a registered class key refused the name
inline constexpr std::uint32_t kErrorWriteFault = 29;   // a frame could not be published
inline constexpr std::uint32_t kErrorBadPathname = 161;  // a path could not be resolved
inline constexpr std::uint32_t kErrorInternal = 1359;    // an unexpected failure inside the module

}  // namespace orvanecam::api
