#include "platform/file_version.h"

namespace orvanecam::platform {

std::optional<std::string> FileVersion(const std::string&) {
    return std::nullopt;
}

}  // namespace orvanecam::platform
