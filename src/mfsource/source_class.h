#pragma once
// The media source's COM class, as the class factory table names it: creating it gives the
// activation object the frame server (or any Media Foundation client) activates the source from.
#include "sdk/directshow.h"
#include "streaming/unknown.h"

namespace orvanecam::mfsource {

// {7D3B5C21-9E84-4F0A-B6C3-58E1D20A4F96}
inline constexpr GUID kMediaSourceClassId = {
    0x7d3b5c21, 0x9e84, 0x4f0a, {0xb6, 0xc3, 0x58, 0xe1, 0xd2, 0x0a, 0x4f, 0x96}};

inline constexpr WCHAR kMediaSourceName[] = OLESTR("OrvaneCam Media Source");

// The class factory's creation function: an IMFActivate (no aggregation).
streaming::CUnknown* CreateSourceActivate(IUnknown* outer, HRESULT* result);

}  // namespace orvanecam::mfsource
