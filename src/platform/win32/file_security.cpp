#include "platform/file_security.h"

#include <windows.h>
// clang-format off
#include <aclapi.h>
#include <sddl.h>
// clang-format on

#include "platform/utf16.h"

namespace orvanecam::platform {

std::optional<std::string> AccessListText(const std::u16string& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(reinterpret_cast<LPCWSTR>(path.c_str()), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                              &descriptor) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    LPWSTR text = nullptr;
    const BOOL converted = ConvertSecurityDescriptorToStringSecurityDescriptorW(
        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    LocalFree(descriptor);
    if (!converted) return std::nullopt;
    std::string result = Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
    LocalFree(text);
    return result;
}

}  // namespace orvanecam::platform
