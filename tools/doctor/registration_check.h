#pragma once
// The doctor's look at the registration: each place's class and device keys, the DLLs they name,
// the cameras' count in each view, duplicate device names, and which registration apps use.
#include "doctor/report.h"

namespace orvanecam::tools::doctor {

void CheckRegistration(Report& report);

}  // namespace orvanecam::tools::doctor
