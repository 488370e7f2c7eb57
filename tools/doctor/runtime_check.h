#pragma once
// The doctor's look at what runs: each camera's shared block (producer, frames, format, settings,
// readers), its saved settings and vacant picture.
#include <string>
#include <vector>

#include "doctor/report.h"

namespace orvanecam::tools::doctor {

// "what (camera N)": the name of a check of one camera.
std::string Label(const char* what, int number);

// The cameras looked at: those registered as apps see them, and camera 1 always.
std::vector<int> CamerasToLook();

void CheckSharedBlocks(const std::vector<int>& cameras, Report& report);
void CheckSettings(const std::vector<int>& cameras, Report& report);

}  // namespace orvanecam::tools::doctor
