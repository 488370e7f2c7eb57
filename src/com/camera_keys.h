#pragma once
// The registry keys the camera is known by, below the classes root.
#include <string>

#include "sdk/directshow.h"
#include "sdk/guid_text.h"

namespace orvanecam::com {

using sdk::GuidText;

// "CLSID\{id}"; empty when the identifier cannot be formatted.
std::string ClassKeyPath(REFCLSID classId);

// "CLSID\{video input category}\Instance\{camera class}": the device the category lists; empty
// when an identifier cannot be formatted.
std::string CameraInstanceKeyPath();

}  // namespace orvanecam::com
