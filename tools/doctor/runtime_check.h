#pragma once
// The doctor's look at what runs: each camera's shared block (producer, frames, format, settings,
// readers), its saved settings and vacant picture, and what the system offers beyond DirectShow
// (Windows 11's camera API, the PipeWire bridge's nodes).
#include <vector>

#include "doctor/report.h"

namespace orvanecam::tools::doctor {

// The cameras looked at: those registered as apps see them, and camera 1 always.
std::vector<int> CamerasToLook();

void CheckSharedBlocks(const std::vector<int>& cameras, Report& report);
void CheckSettings(const std::vector<int>& cameras, Report& report);
void CheckSystemCameraApis(const std::vector<int>& cameras, Report& report);

}  // namespace orvanecam::tools::doctor
