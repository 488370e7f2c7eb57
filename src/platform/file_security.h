#pragma once
// A file's or folder's discretionary access list in the system's text form (SDDL), for checks of
// who may read it. Windows only: the Windows 11 camera tool is its one user.
#include <optional>
#include <string>

namespace orvanecam::platform {

// Nothing when the file cannot be found or its list read.
std::optional<std::string> AccessListText(const std::u16string& path);

}  // namespace orvanecam::platform
