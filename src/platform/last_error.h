#pragma once
// The calling thread's last error, as a Win32 error code (GetLastError on Windows).
#include <cstdint>

namespace orvanecam::platform {

void SetThreadLastError(std::uint32_t code);
std::uint32_t ThreadLastError();

}  // namespace orvanecam::platform
