#pragma once
// The device name capture clients list: how a requested name is cleaned, and where it is kept.
#include <string>

namespace orvanecam::api {

inline constexpr std::size_t kMaxDeviceNameUnits = 64;

// Drops control characters and "*/:<>?\| then outer white space, then cuts to 64 units (the cut
// name is not trimmed again).
std::u16string SanitizeDeviceName(const std::u16string& name);

// Rewrites the name in the class key and the device instance key, both views. Keys that are not
// there (the camera is not registered) are fine; false when a present key could not be written.
bool WriteDeviceNameToClassKeys(const std::u16string& name);

}  // namespace orvanecam::api
