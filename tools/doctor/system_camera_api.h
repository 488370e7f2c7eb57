#pragma once
// What the system offers the cameras beyond DirectShow: Windows 11's camera API and the media
// source its frame server loads, or on Linux the PipeWire bridge's nodes. One file each.
#include <vector>

#include "doctor/report.h"

namespace orvanecam::tools::doctor {

void CheckSystemCameraApis(const std::vector<int>& cameras, Report& report);

}  // namespace orvanecam::tools::doctor
