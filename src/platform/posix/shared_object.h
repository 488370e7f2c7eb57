#pragma once
// The lifetime rule of Windows named objects on POSIX shared memory: an object lives while any
// process has it open. Every user holds a shared open-file-description lock on it; whoever can
// take the lock exclusively is alone and starts a fresh object.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvanecam::platform {

struct SharedObject {
    int fd;
    bool created;
    std::string name;  // the shm_open name, "/Name"
};

std::string PosixObjectName(std::string_view baseName);

// Opens the object, creating a fresh zero-filled one of size bytes when nobody uses it. Without
// mayCreate an unused object counts as absent (kErrorFileNotFound). On failure sets the thread's
// last error.
std::optional<SharedObject> OpenSharedObject(std::string_view baseName, std::uint64_t size,
                                             bool mayCreate);

// Closes fd, removing the name when this was the last user.
void CloseSharedObject(int fd, const std::string& name);

}  // namespace orvanecam::platform
