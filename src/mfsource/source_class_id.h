#pragma once
// The media source's COM class identity, which registration, the class factory and the Windows 11
// camera tool share.
#include "camera/identity.h"
#include "sdk/guid_text.h"

namespace orvanecam::mfsource {

inline constexpr GUID kMediaSourceClassId = sdk::GuidOf(camera::kFirstCamera.mediaSourceClass);

inline constexpr WCHAR kMediaSourceName[] = OLESTR("OrvaneCam Media Source");

}  // namespace orvanecam::mfsource
