#include "playback/media_errors.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>

namespace orvanecam::playback {

std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback) {
    if (result == AVERROR(ENOMEM)) return platform::kErrorNotEnoughMemory;
    if (result == AVERROR(EINVAL)) return platform::kErrorInvalidParameter;
    if (result == AVERROR(ENOENT)) return platform::kErrorFileNotFound;
    if (result == AVERROR_EOF) return platform::kErrorHandleEof;
    if (result == AVERROR(ECONNREFUSED)) return platform::kErrorConnectionRefused;
    if (result == AVERROR(EHOSTUNREACH) || result == AVERROR(ENETUNREACH)) {
        return platform::kErrorHostUnreachable;
    }
    if (result == AVERROR(ETIMEDOUT)) return platform::kErrorTimeout;
    return fallback;
}

}  // namespace orvanecam::playback
