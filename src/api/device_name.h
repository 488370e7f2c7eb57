#pragma once
// Where the device name capture clients list is kept besides the user's settings.
#include <string>

#include "camera/identity.h"

namespace orvanecam::api {

// Rewrites camera's name in its class key and its device instance key, both views. Keys that are
// not there (the camera is not registered) are fine; false when a present key could not be
// written.
bool WriteDeviceNameToClassKeys(const camera::CameraIdentity& camera, const std::u16string& name);

}  // namespace orvanecam::api
