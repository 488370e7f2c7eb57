#pragma once
// The media source's COM class, as the class factory table names it: creating it gives the
// activation object the frame server (or any Media Foundation client) activates the source from.
#include "mfsource/source_class_id.h"
#include "streaming/unknown.h"

namespace orvanecam::mfsource {

// The class factory's creation function: an IMFActivate of camera's source (no aggregation).
streaming::CUnknown* CreateSourceActivate(const camera::CameraIdentity& camera, IUnknown* outer,
                                          HRESULT* result);

}  // namespace orvanecam::mfsource
