#include "com/module_path.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>

#include <climits>
#include <cstdlib>

#include "platform/utf16.h"
#endif

#include "platform/win32_errors.h"

namespace orvanecam::com {

#ifdef _WIN32
extern HINSTANCE g_hInst;
#endif

namespace {
constexpr std::size_t kPathCapacity = 260;
}  // namespace

std::uint32_t ModuleFilePath(std::u16string& path) {
    path.clear();
#ifdef _WIN32
    wchar_t buffer[kPathCapacity] = {};
    const DWORD length = GetModuleFileNameW(g_hInst, buffer, kPathCapacity);
    if (length == 0) return GetLastError();
    if (length >= kPathCapacity) return platform::kErrorInsufficientBuffer;
    path.assign(buffer, buffer + length);
#else
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFilePath), &info) == 0 || info.dli_fname == nullptr) {
        return platform::kErrorFileNotFound;
    }
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved) == nullptr) return platform::kErrorFileNotFound;
    path = platform::Utf8ToUtf16(resolved);
    if (path.size() >= kPathCapacity) {
        path.clear();
        return platform::kErrorInsufficientBuffer;
    }
#endif
    return platform::kErrorSuccess;
}

}  // namespace orvanecam::com
