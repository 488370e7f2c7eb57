#pragma once
// Removes everything any version installed or wrote: every camera's keys in every place, the
// user's settings and the install folders, leaving the registry as it was before the first
// install.
#include "doctor/report.h"

namespace orvanecam::tools::doctor {

void Purge(Report& report);

}  // namespace orvanecam::tools::doctor
