#pragma once
// Whether the frame server's account can load the camera's DLL: read from a file's or folder's
// security descriptor in its text form (SDDL), as the system evaluates a discretionary access
// list for the LOCAL SERVICE account's token. Pure, so that it is tested on every build.
#include <string_view>

namespace orvanecam::tools {

enum class ServiceAccess {
    kGranted,     // reading and executing (or traversing) are allowed
    kDenied,      // an entry denies them, or none allows them
    kUnreadable,  // the descriptor is not one this parser understands
};

// sddl: the descriptor's text, of which only the "D:" part counts; without one (no list), access
// is open to all.
ServiceAccess LocalServiceAccess(std::string_view sddl);

}  // namespace orvanecam::tools
