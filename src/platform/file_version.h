#pragma once
// The version a binary carries, as Windows' version resource records it.
#include <optional>
#include <string>

namespace orvanecam::platform {

// "major.minor.patch" of the binary at path (UTF-8); nothing when it has no version resource,
// which is always so for the shared objects of other systems.
std::optional<std::string> FileVersion(const std::string& path);

}  // namespace orvanecam::platform
