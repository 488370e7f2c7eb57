#pragma once
// The filter's diagnostic lines: the camera's, and one describing a media type.
#include "camera/trace.h"
#include "sdk/directshow.h"

namespace orvanecam::filter {

using camera::TraceLine;
using camera::TracePoint;

// One line describing a media type, under label.
void TraceMediaType(const char* label, const AM_MEDIA_TYPE* mediaType);

}  // namespace orvanecam::filter
