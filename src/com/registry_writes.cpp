#include "com/registry_writes.h"

#include "platform/win32_errors.h"

namespace orvanecam::com {
using platform::RegistryKey;
using platform::RegistryRoot;

bool IsMissingKeyResult(HRESULT result) {
    return result == HresultFromError(platform::kErrorFileNotFound) ||
           result == HresultFromError(platform::kErrorPathNotFound);
}

HRESULT SetRegistryString(RegistryRoot classes, const std::string& path,
                          const std::string& valueName, const std::u16string& text) {
    std::uint32_t error = 0;
    auto key = RegistryKey::Create(classes, path, platform::kOwnRegistryView,
                                   platform::RegistryAccess::kSetValue, error);
    if (!key) return HresultFromError(error);
    return HresultFromError(key->SetString(valueName, text));
}

HRESULT DeleteRegistryTree(RegistryRoot classes, const std::string& path) {
    // An empty path would name the classes root itself.
    if (path.empty()) return E_FAIL;
    return HresultFromError(RegistryKey::DeleteTreeAt(classes, path, platform::kOwnRegistryView));
}

}  // namespace orvanecam::com
