#include "playback/media_errors.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>

namespace orvanecam::playback {
namespace {

// A socket's own error, which FFmpeg passes on as it is: on Windows, a Winsock code.
constexpr int kWinsockNetUnreachable = 10051;
constexpr int kWinsockTimedOut = 10060;
constexpr int kWinsockRefused = 10061;
constexpr int kWinsockHostUnreachable = 10065;

}  // namespace

std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback) {
    if (result == AVERROR(ENOMEM)) return platform::kErrorNotEnoughMemory;
    if (result == AVERROR(EINVAL)) return platform::kErrorInvalidParameter;
    if (result == AVERROR(ENOENT)) return platform::kErrorFileNotFound;
    if (result == AVERROR_EOF) return platform::kErrorHandleEof;
    if (result == AVERROR(ECONNREFUSED) || result == AVERROR(kWinsockRefused)) {
        return platform::kErrorConnectionRefused;
    }
    if (result == AVERROR(EHOSTUNREACH) || result == AVERROR(ENETUNREACH) ||
        result == AVERROR(kWinsockHostUnreachable) || result == AVERROR(kWinsockNetUnreachable)) {
        return platform::kErrorHostUnreachable;
    }
    if (result == AVERROR(ETIMEDOUT) || result == AVERROR(kWinsockTimedOut)) {
        return platform::kErrorTimeout;
    }
    return fallback;
}

}  // namespace orvanecam::playback
