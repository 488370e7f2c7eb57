#pragma once
// The name the camera is registered and listed under.
#include "sdk/directshow.h"

namespace orvanecam::com {

inline constexpr WCHAR kCameraName[] = OLESTR("OrvaneCam");
inline constexpr char16_t kCameraNameUtf16[] = u"OrvaneCam";

}  // namespace orvanecam::com
