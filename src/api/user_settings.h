#pragma once
// The producer's settings kept for the current user (the device name, the vacant image's path).
#include <cstdint>
#include <string>

namespace orvanecam::api {

// Stores text as valueName under the settings key, in the 64-bit view and then the 32-bit view:
// 0 when at least one view took it, else the registry's error for the first (5 without one).
std::uint32_t StoreUserSetting(const char* valueName, const std::u16string& text);

}  // namespace orvanecam::api
