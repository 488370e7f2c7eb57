#pragma once
// Where the device name capture clients list is kept besides the user's settings.
#include <string>

namespace orvanecam::api {

// Rewrites the name in the class key and the device instance key, both views. Keys that are not
// there (the camera is not registered) are fine; false when a present key could not be written.
bool WriteDeviceNameToClassKeys(const std::u16string& name);

}  // namespace orvanecam::api
