#pragma once
#include <cstdint>

namespace orvanecam::testing {

// The calling thread's last error as the module left it: the system's value on Windows, the
// module's own (GetVcamLastError) elsewhere.
std::uint32_t ModuleLastError();

}  // namespace orvanecam::testing
