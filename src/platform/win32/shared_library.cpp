#include "platform/shared_library.h"

#include <windows.h>

#include <utility>

#include "platform/win32/text.h"

namespace orvanecam::platform {

std::optional<SharedLibrary> SharedLibrary::Load(const std::string& path) {
    HMODULE module = LoadLibraryW(Utf8ToWide(path).c_str());
    if (module == nullptr) return std::nullopt;
    return SharedLibrary(module);
}

void* SharedLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(m_library.Get()), name));
}

}  // namespace orvanecam::platform
