#include "platform/environment.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace orvanecam::platform {

// Through the Win32 environment block, which child processes inherit (the C runtime's copy
// would not see changes made with SetEnvironmentVariableW).
std::optional<std::string> GetEnvironmentValue(const std::string& name) {
    const std::wstring wideName = Utf8ToWide(name);
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (length == 0) return std::nullopt;
    std::wstring value(length, L'\0');
    const DWORD written = GetEnvironmentVariableW(wideName.c_str(), value.data(), length);
    if (written >= length) return std::nullopt;
    value.resize(written);
    return WideToUtf8(value);
}

void SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    const std::wstring wideName = Utf8ToWide(name);
    if (value) {
        SetEnvironmentVariableW(wideName.c_str(), Utf8ToWide(*value).c_str());
    } else {
        SetEnvironmentVariableW(wideName.c_str(), nullptr);
    }
}

const char* ExecutableSuffix() {
    return ".exe";
}

}  // namespace orvanecam::platform
