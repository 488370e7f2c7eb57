#include "platform/shared_library.h"

#include <dlfcn.h>

#include <utility>

namespace orvanecam::platform {

std::optional<SharedLibrary> SharedLibrary::Load(const std::string& path) {
    // Never unmapped: libraries the module pulls in (the sound server's client among them) keep
    // threads and process-wide state that do not survive being unloaded.
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (handle == nullptr) return std::nullopt;
    return SharedLibrary(handle);
}

void* SharedLibrary::Symbol(const char* name) const {
    return dlsym(m_library.Get(), name);
}

}  // namespace orvanecam::platform
