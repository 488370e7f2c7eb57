#include "platform/posix/errno_to_win32.h"

#include <cerrno>

#include "platform/last_error.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {

std::uint32_t Win32ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return kErrorSuccess;
        case ENOENT:
            return kErrorFileNotFound;
        case EACCES:
        case EPERM:
            return kErrorAccessDenied;
        case EBADF:
            return kErrorInvalidHandle;
        case ENOMEM:
            return kErrorNotEnoughMemory;
        case ENOSPC:
        case EFBIG:
            return kErrorDiskFull;
        case EINVAL:
        case ENAMETOOLONG:
            return kErrorInvalidParameter;
        case EEXIST:
            return kErrorAlreadyExists;
        default:
            return kErrorGenFailure;
    }
}

void SetLastErrorFromErrno(int error) {
    SetThreadLastError(Win32ErrorFromErrno(error));
}

}  // namespace orvanecam::platform
