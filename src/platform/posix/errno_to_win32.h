#pragma once
#include <cstdint>

namespace orvanecam::platform {

// The Win32 error code closest to a POSIX errno value.
std::uint32_t Win32ErrorFromErrno(int error);
// Sets the thread's last error from errno (or from error) and returns nothing useful.
void SetLastErrorFromErrno(int error);

}  // namespace orvanecam::platform
