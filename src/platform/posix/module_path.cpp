#include "platform/module_path.h"

#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "platform/utf16.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {

std::uint32_t ModuleFilePath(std::u16string& path) {
    constexpr std::size_t kPathCapacity = 260;
    path.clear();
    // The shared object holding this very function, not the process's executable.
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFilePath), &info) == 0 || info.dli_fname == nullptr) {
        return kErrorFileNotFound;
    }
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) == nullptr) return kErrorFileNotFound;
    path = Utf8ToUtf16(resolved);
    if (path.size() >= kPathCapacity) {
        path.clear();
        return kErrorInsufficientBuffer;
    }
    return kErrorSuccess;
}

}  // namespace orvanecam::platform
