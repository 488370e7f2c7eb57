#include "platform/paths.h"

#include <windows.h>

#include <shlwapi.h>

namespace orvanecam::platform {
namespace {

constexpr DWORD kPathBuffer = kMaxPathUnits + 1;

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string Narrow(const wchar_t* text, std::size_t length) {
    return std::u16string(text, text + length);
}

}  // namespace

bool IsRelativePath(std::u16string_view path) {
    return PathIsRelativeW(Wide(path).c_str()) != FALSE;
}

std::optional<std::u16string> ExecutableFolder() {
    wchar_t buffer[kPathBuffer] = {};
    const DWORD length = GetModuleFileNameW(nullptr, buffer, kPathBuffer);
    if (length == 0 || length > kMaxPathUnits) return std::nullopt;
    PathRemoveFileSpecW(buffer);
    return Narrow(buffer, wcslen(buffer));
}

std::optional<std::u16string> CombinePath(std::u16string_view folder,
                                          std::u16string_view relative) {
    wchar_t buffer[MAX_PATH] = {};
    if (PathCombineW(buffer, Wide(folder).c_str(), Wide(relative).c_str()) == nullptr) {
        return std::nullopt;
    }
    return Narrow(buffer, wcslen(buffer));
}

std::optional<std::u16string> FullPathName(std::u16string_view path) {
    if (path.empty()) return std::nullopt;
    wchar_t buffer[kPathBuffer] = {};
    const DWORD length = GetFullPathNameW(Wide(path).c_str(), kPathBuffer, buffer, nullptr);
    if (length == 0 || length > kMaxPathUnits) return std::nullopt;
    return Narrow(buffer, length);
}

bool PathExists(std::u16string_view path) {
    return !path.empty() && PathFileExistsW(Wide(path).c_str()) != FALSE;
}

}  // namespace orvanecam::platform
