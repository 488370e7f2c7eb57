#pragma once
// The full path of the module (DLL or shared library) this code is linked into, as COM records it
// for the class.
#include <cstdint>
#include <string>

namespace orvanecam::platform {

// Returns 0 and the path, or a Win32 error code. A path that does not fit the 260-character
// buffer the registry layout allows is an error (122) rather than a cut-off path.
std::uint32_t ModuleFilePath(std::u16string& path);

}  // namespace orvanecam::platform
