#pragma once
// The media source's COM class identity, which registration, the class factory and the Windows 11
// camera tool share.
#include <string>

#include "camera/identity.h"
#include "sdk/guid_text.h"

namespace orvanecam::mfsource {

inline constexpr GUID kMediaSourceClassId = sdk::GuidOf(camera::kFirstCamera.mediaSourceClass);

// The class key's description: "OrvaneCam Media Source" for camera 1, "OrvaneCam 2 Media
// Source" for camera 2, and so on.
inline std::u16string MediaSourceName(const camera::CameraIdentity& camera) {
    return std::u16string(camera.defaultName) + u" Media Source";
}

}  // namespace orvanecam::mfsource
