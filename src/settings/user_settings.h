#pragma once
// The settings kept for the current user (the device name, the vacant picture's path), in both
// registry views so that 32-bit and 64-bit processes share them. Each camera has a key of its
// own; camera 1's is kSettingsKey.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orvanecam::settings {

inline constexpr const char* kSettingsKey = "Software\\Orvane\\OrvaneCamSDK";
inline constexpr const char* kFriendlyNameValue = "FriendlyName";
inline constexpr const char* kVacantImagePathValue = "VacantImagePath";

// Stores text as valueName under the settings key, in the 64-bit view and then the 32-bit view:
// 0 when at least one view took it, else the registry's error for the first (5 without one).
std::uint32_t StoreUserSetting(const char* valueName, const std::u16string& text,
                               std::string_view key = kSettingsKey);

// The value from the first view (64-bit, then 32-bit) that holds a non-empty one of at most
// maxBytes; empty when none does.
std::u16string ReadUserSetting(const char* valueName, std::size_t maxBytes,
                               std::string_view key = kSettingsKey);

// The vacant picture's path a producer saved under key; empty when there is none.
std::u16string SavedVacantImagePath(std::string_view key = kSettingsKey);

}  // namespace orvanecam::settings
