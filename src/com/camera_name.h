#pragma once
// The name the camera is registered and listed under until renamed, as the SDK's wide text.
#include "camera/identity.h"
#include "sdk/directshow.h"

namespace orvanecam::com {

// The default name is a literal, so its view ends at a terminator.
inline const WCHAR* CameraName() {
    static_assert(sizeof(WCHAR) == sizeof(char16_t));
    return reinterpret_cast<const WCHAR*>(camera::kFirstCamera.defaultName.data());
}

}  // namespace orvanecam::com
