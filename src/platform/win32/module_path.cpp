#include "platform/module_path.h"

#include <windows.h>

#include "platform/win32_errors.h"

namespace orvanecam::platform {

std::uint32_t ModuleFilePath(std::u16string& path) {
    constexpr DWORD kPathCapacity = 260;
    path.clear();
    // The module holding this very function, not the process's executable.
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ModuleFilePath), &module)) {
        return GetLastError();
    }
    wchar_t buffer[kPathCapacity] = {};
    const DWORD length = GetModuleFileNameW(module, buffer, kPathCapacity);
    if (length == 0) return GetLastError();
    if (length >= kPathCapacity) return kErrorInsufficientBuffer;
    path.assign(buffer, buffer + length);
    return kErrorSuccess;
}

}  // namespace orvanecam::platform
