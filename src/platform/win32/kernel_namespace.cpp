#include "platform/win32/kernel_namespace.h"

#include <sddl.h>

#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/win32/text.h"

namespace orvanecam::platform {
namespace {

constexpr const wchar_t* kSharedObjectSddl =
    L"D:(A;;GA;;;WD)(A;;GA;;;BA)(A;;GA;;;SY)S:(ML;;NW;;;ME)";

std::wstring FullName(const wchar_t* prefix, std::string_view baseName) {
    return prefix + Utf8ToWide(KernelObjectName(baseName));
}

bool GlobalCreateRefusedForTests() {
    return GetEnvironmentValue(kRefuseGlobalCreateVariable).value_or("") == "1";
}

}  // namespace

SharedObjectSecurity::SharedObjectSecurity() {
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kSharedObjectSddl, SDDL_REVISION_1,
                                                              &m_descriptor, nullptr)) {
        m_descriptor = nullptr;
        return;
    }
    m_attributes.nLength = sizeof(m_attributes);
    m_attributes.lpSecurityDescriptor = m_descriptor;
    m_attributes.bInheritHandle = FALSE;
}

SharedObjectSecurity::~SharedObjectSecurity() {
    if (m_descriptor != nullptr) LocalFree(m_descriptor);
}

NamedHandle CreateInSharedNamespace(std::string_view baseName, const CreateNamed& create,
                                    const OpenNamed& open) {
    SharedObjectSecurity security;
    NamedHandle result;
    result.name = FullName(L"Global\\", baseName);
    if (GlobalCreateRefusedForTests()) {
        result.handle = open(result.name.c_str());
        if (result.handle != nullptr) {
            result.existed = true;
            return result;
        }
        SetLastError(ERROR_ACCESS_DENIED);
    } else {
        result.handle = create(result.name.c_str(), security.Attributes());
        if (result.handle != nullptr) {
            result.existed = GetLastError() == ERROR_ALREADY_EXISTS;
            return result;
        }
    }
    if (GetLastError() != ERROR_ACCESS_DENIED) return result;

    result.name = FullName(L"Local\\", baseName);
    result.handle = create(result.name.c_str(), security.Attributes());
    result.existed = result.handle != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    return result;
}

namespace {

NamedHandle OpenFirstOf(std::initializer_list<const wchar_t*> prefixes, std::string_view baseName,
                        const OpenNamed& open) {
    NamedHandle result;
    for (const wchar_t* prefix : prefixes) {
        result.name = FullName(prefix, baseName);
        result.handle = open(result.name.c_str());
        if (result.handle != nullptr) {
            result.existed = true;
            break;
        }
    }
    return result;
}

}  // namespace

NamedHandle OpenInSharedNamespace(std::string_view baseName, const OpenNamed& open) {
    return OpenFirstOf({L"Global\\", L"Local\\"}, baseName, open);
}

NamedHandle OpenInGlobalNamespace(std::string_view baseName, const OpenNamed& open) {
    return OpenFirstOf({L"Global\\"}, baseName, open);
}

bool IsLocalName(std::string_view name) {
    return name.substr(0, 6) == "Local\\";
}

}  // namespace orvanecam::platform
