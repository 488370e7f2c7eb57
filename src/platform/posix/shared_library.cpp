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

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_native(std::exchange(other.m_native, nullptr)) {}

SharedLibrary::~SharedLibrary() {
    if (m_native != nullptr) dlclose(m_native);
}

void* SharedLibrary::Symbol(const char* name) const {
    return dlsym(m_native, name);
}

}  // namespace orvanecam::platform
