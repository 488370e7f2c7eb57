#pragma once
// What DllInstall's command line (regsvr32's /i:"...") asks of the registration.
#include <optional>
#include <string_view>

#include "com/registration.h"

namespace orvanecam::com {

struct InstallOptions {
    int cameras = 0;  // how many cameras to register; 0 keeps the number registered now
    RegistrationScope scope = RegistrationScope::kMachine;
};

// Words apart by spaces, commas or semicolons, in any letter case: "cameras=N" (N 1..16) and
// "user" (the current user's classes) are known. Empty when a word is unknown or a count is bad.
std::optional<InstallOptions> ParseInstallOptions(std::u16string_view commandLine);

}  // namespace orvanecam::com
