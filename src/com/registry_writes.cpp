#include "com/registry_writes.h"

#include "platform/win32_errors.h"

namespace orvanecam::com {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

bool IsMissing(std::uint32_t error) {
    return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

}  // namespace

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
    const auto slash = path.rfind('\\');
    const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    std::uint32_t error = 0;
    auto parent = RegistryKey::Open(classes, parentPath, platform::kOwnRegistryView,
                                    platform::RegistryAccess::kFull, error);
    if (!parent) return IsMissing(error) ? S_OK : HresultFromError(error);
    error = parent->DeleteTree(leaf);
    return IsMissing(error) ? S_OK : HresultFromError(error);
}

}  // namespace orvanecam::com
