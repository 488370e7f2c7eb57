#include "media/media_errors.h"

extern "C" {
#include <libavutil/error.h>
}

#include <cerrno>

namespace orvanecam::media {

std::uint32_t MediaErrorToWin32(int result, std::uint32_t fallback) {
    if (result == AVERROR(ENOMEM)) return kErrorOutOfMemory;
    if (result == AVERROR(EINVAL)) return kErrorInvalidParameter;
    if (result == AVERROR(ENOENT)) return kErrorFileNotFound;
    if (result == AVERROR_EOF) return kErrorHandleEof;
    return fallback;
}

}  // namespace orvanecam::media
