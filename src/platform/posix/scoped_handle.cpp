#include "platform/scoped_handle.h"

#include <dlfcn.h>
#include <sys/mman.h>
#include <unistd.h>

#include "platform/posix/shared_object.h"

namespace orvanecam::platform {

void KernelHandleTraits::Close(Native handle) {
    close(static_cast<int>(handle));
}

void LibraryHandleTraits::Close(Native handle) {
    dlclose(handle);
}

void SharedObjectTraits::Close(Native handle) const {
    CloseSharedObject(static_cast<int>(handle), name);
}

void MappedViewTraits::Close(Native data) const {
    munmap(data, size);
}

// The file-backed store opens nothing that needs closing.
void RegistryKeyTraits::Close(Native) {}

}  // namespace orvanecam::platform
