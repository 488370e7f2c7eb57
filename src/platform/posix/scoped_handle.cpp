#include "platform/scoped_handle.h"

#include <dlfcn.h>
#include <unistd.h>

namespace orvanecam::platform {

void KernelHandleTraits::Close(Native handle) {
    close(static_cast<int>(handle));
}

void LibraryHandleTraits::Close(Native handle) {
    dlclose(handle);
}

// The file-backed store opens nothing that needs closing.
void RegistryKeyTraits::Close(Native) {}

}  // namespace orvanecam::platform
