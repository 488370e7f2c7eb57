#pragma once
// The media source's COM class identity, which registration, the class factory and the Windows 11
// camera tool share.
#include "sdk/directshow.h"

namespace orvanecam::mfsource {

// {7D3B5C21-9E84-4F0A-B6C3-58E1D20A4F96}
inline constexpr GUID kMediaSourceClassId = {
    0x7d3b5c21, 0x9e84, 0x4f0a, {0xb6, 0xc3, 0x58, 0xe1, 0xd2, 0x0a, 0x4f, 0x96}};

inline constexpr WCHAR kMediaSourceName[] = OLESTR("OrvaneCam Media Source");

}  // namespace orvanecam::mfsource
