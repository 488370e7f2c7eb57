#include "platform/registry.h"

#include <windows.h>

#include "platform/win32/text.h"

namespace orvanecam::platform {
namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::kCurrentUser:
        case RegistryRoot::kUserClasses:
            return HKEY_CURRENT_USER;
        case RegistryRoot::kLocalMachine:
        case RegistryRoot::kMachineClasses:
            return HKEY_LOCAL_MACHINE;
        case RegistryRoot::kClassesRoot:
            break;
    }
    return HKEY_CLASSES_ROOT;
}

// path below RootKey(root), for the system's calls.
std::wstring PathBelowRoot(RegistryRoot root, const std::string& path) {
    if (root != RegistryRoot::kUserClasses && root != RegistryRoot::kMachineClasses) {
        return Utf8ToWide(path);
    }
    const std::string classes = kClassesBelowHive;
    return Utf8ToWide(path.empty() ? classes : classes + "\\" + path);
}

REGSAM ViewFlag(RegistryView view) {
    return view == RegistryView::k64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

HKEY AsKey(std::intptr_t native) {
    return reinterpret_cast<HKEY>(native);
}

REGSAM Rights(RegistryAccess access) {
    switch (access) {
        case RegistryAccess::kQueryValue:
            return KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
        case RegistryAccess::kSetValue:
            return KEY_SET_VALUE | KEY_QUERY_VALUE;
        case RegistryAccess::kFull:
            break;
    }
    return KEY_ALL_ACCESS;
}

}  // namespace

std::vector<RegistryView> DistinctRegistryViews() {
    return {RegistryView::k64Bit, RegistryView::k32Bit};
}

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot root, const std::string& path,
                                             RegistryView view, RegistryAccess access,
                                             std::uint32_t& error) {
    HKEY key = nullptr;
    error =
        static_cast<std::uint32_t>(RegOpenKeyExW(RootKey(root), PathBelowRoot(root, path).c_str(),
                                                 0, Rights(access) | ViewFlag(view), &key));
    if (error != ERROR_SUCCESS) return std::nullopt;
    return RegistryKey(reinterpret_cast<std::intptr_t>(key), {});
}

std::optional<RegistryKey> RegistryKey::Create(RegistryRoot root, const std::string& path,
                                               RegistryView view, RegistryAccess access,
                                               std::uint32_t& error) {
    HKEY key = nullptr;
    error = static_cast<std::uint32_t>(RegCreateKeyExW(
        RootKey(root), PathBelowRoot(root, path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
        Rights(access) | ViewFlag(view), nullptr, &key, nullptr));
    if (error != ERROR_SUCCESS) return std::nullopt;
    return RegistryKey(reinterpret_cast<std::intptr_t>(key), {});
}

std::uint32_t RegistryKey::SetString(const std::string& name, const std::u16string& value) {
    const std::wstring text(value.begin(), value.end());
    return static_cast<std::uint32_t>(
        RegSetValueExW(AsKey(m_key.Get()), Utf8ToWide(name).c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))));
}

std::uint32_t RegistryKey::QueryString(const std::string& name, std::size_t maxBytes,
                                       std::u16string& value) const {
    value.clear();
    std::wstring buffer(maxBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>(maxBytes);
    const LONG result = RegQueryValueExW(AsKey(m_key.Get()), Utf8ToWide(name).c_str(), nullptr,
                                         &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes);
    if (result != ERROR_SUCCESS) return static_cast<std::uint32_t>(result);
    if (type != REG_SZ) return kErrorUnsupportedType;
    const std::size_t units = bytes / sizeof(wchar_t);
    std::size_t length = 0;
    while (length < units && buffer[length] != L'\0') ++length;
    // Text that fills the whole buffer with no terminator may have been cut: not trusted.
    if (length == units && bytes >= maxBytes) return kErrorMoreData;
    value.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
    return ERROR_SUCCESS;
}

std::uint32_t RegistryKey::DeleteTree(const std::string& subkey) {
    return static_cast<std::uint32_t>(
        RegDeleteTreeW(AsKey(m_key.Get()), Utf8ToWide(subkey).c_str()));
}

std::vector<std::string> RegistryKey::SubkeyNames() const {
    std::vector<std::string> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(AsKey(m_key.Get()), index, name, &length, nullptr, nullptr, nullptr,
                          nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(WideToUtf8(std::wstring_view(name, length)));
    }
    return names;
}

bool RegistryKey::IsEmpty() const {
    DWORD subkeys = 0;
    DWORD values = 0;
    const LONG result =
        RegQueryInfoKeyW(AsKey(m_key.Get()), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr);
    return result == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

}  // namespace orvanecam::platform
