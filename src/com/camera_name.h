#pragma once
// The name the camera is registered and listed under.
#include "sdk/directshow.h"

namespace orvanecam::com {

// Spelled out so that it is the platform's wide character type in every build.
inline constexpr WCHAR kCameraName[] = {'O', 'r', 'v', 'a', 'n', 'e', 'C', 'a', 'm', 0};
inline constexpr char16_t kCameraNameUtf16[] = u"OrvaneCam";

}  // namespace orvanecam::com
