#include "platform/posix/shared_object.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/clock.h"
#include "platform/kernel_object_names.h"
#include "platform/last_error.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {
namespace {

constexpr mode_t kEveryoneReadWrite = 0666;

bool SetLock(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    for (;;) {
        if (fcntl(fd, F_OFD_SETLK, &lock) == 0) return true;
        if (errno != EINTR) return false;
    }
}

// The exclusive lock is held only while a user initialises or removes the object, so this
// waits briefly; a user stopped at that moment must not hang us.
bool TakeSharedLock(int fd) {
    constexpr std::uint64_t kLockWaitMs = 5000;
    const std::uint64_t deadline = TickCountMs() + kLockWaitMs;
    while (!SetLock(fd, F_RDLCK)) {
        const int error = errno;
        const bool busy = error == EAGAIN || error == EACCES;
        if (!busy || TickCountMs() >= deadline) {
            SetThreadLastError(busy ? kErrorAccessDenied : Win32ErrorFromErrno(error));
            return false;
        }
        SleepMs(1);
    }
    return true;
}

// A name removed by its last user while we were opening it: our descriptor is a dead object.
bool IsUnlinked(int fd) {
    struct stat status {};
    return fstat(fd, &status) != 0 || status.st_nlink == 0;
}

std::optional<std::uint64_t> ObjectSize(int fd) {
    struct stat status {};
    if (fstat(fd, &status) != 0) return std::nullopt;
    return static_cast<std::uint64_t>(status.st_size);
}

// Called holding the exclusive lock: nobody else uses the object.
bool ResetToFreshObject(int fd, std::uint64_t size) {
    // Another user's umask must not keep later users of other accounts out.
    (void)fchmod(fd, kEveryoneReadWrite);
    const auto length = static_cast<off_t>(size);
    if (ftruncate(fd, 0) != 0 || ftruncate(fd, length) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    // Reserve the pages now, so a small /dev/shm fails here instead of faulting later.
    if (const int error = posix_fallocate(fd, 0, length); error != 0) {
        SetLastErrorFromErrno(error);
        return false;
    }
    return true;
}

}  // namespace

std::string PosixObjectName(std::string_view baseName) {
    return "/" + KernelObjectName(baseName);
}

std::optional<SharedObject> OpenSharedObject(std::string_view baseName, std::uint64_t size,
                                             bool mayCreate) {
    const std::string name = PosixObjectName(baseName);
    // Each retry follows a race with the object's last user removing it; a few always suffice.
    constexpr int kMaxAttempts = 64;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        const int flags = O_RDWR | O_CLOEXEC | (mayCreate ? O_CREAT : 0);
        const int fd = shm_open(name.c_str(), flags, kEveryoneReadWrite);
        if (fd < 0) {
            SetLastErrorFromErrno(errno);
            return std::nullopt;
        }
        bool alone = SetLock(fd, F_WRLCK);
        if (!alone) {
            // Someone uses it (or is initialising it): share it, then check they did not all leave.
            if (!TakeSharedLock(fd)) {
                close(fd);
                return std::nullopt;
            }
            alone = SetLock(fd, F_WRLCK);
        }
        if (IsUnlinked(fd)) {
            close(fd);
            continue;
        }
        if (alone) {
            if (!mayCreate) {
                shm_unlink(name.c_str());
                close(fd);
                SetThreadLastError(kErrorFileNotFound);
                return std::nullopt;
            }
            if (!ResetToFreshObject(fd, size) || !SetLock(fd, F_RDLCK)) {
                if (ThreadLastError() == kErrorSuccess) SetLastErrorFromErrno(errno);
                shm_unlink(name.c_str());
                close(fd);
                return std::nullopt;
            }
            return SharedObject{fd, true, name};
        }
        const auto existingSize = ObjectSize(fd);
        if (!existingSize || *existingSize < size) {
            close(fd);
            SetThreadLastError(kErrorInvalidParameter);
            return std::nullopt;
        }
        return SharedObject{fd, false, name};
    }
    SetThreadLastError(kErrorGenFailure);
    return std::nullopt;
}

void CloseSharedObject(int fd, const std::string& name) {
    if (fd < 0) return;
    if (SetLock(fd, F_WRLCK) && !IsUnlinked(fd)) shm_unlink(name.c_str());
    close(fd);
}

}  // namespace orvanecam::platform
