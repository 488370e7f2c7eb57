#include "com/registry_writes.h"

#include "platform/registry.h"
#include "platform/win32_errors.h"

namespace orvanecam::com {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;

bool IsMissing(std::uint32_t error) {
    return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound;
}

std::optional<RegistryKey> OpenBelowClassesRoot(const std::string& path, std::uint32_t& error) {
    return RegistryKey::Open(RegistryRoot::kClassesRoot, path, platform::kOwnRegistryView,
                             platform::RegistryAccess::kFull, error);
}

}  // namespace

bool IsMissingKeyResult(HRESULT result) {
    return result == HresultFromError(platform::kErrorFileNotFound) ||
           result == HresultFromError(platform::kErrorPathNotFound);
}

HRESULT SetRegistryString(const std::string& path, const std::string& valueName,
                          const std::u16string& text) {
    std::uint32_t error = 0;
    auto key = RegistryKey::Create(RegistryRoot::kClassesRoot, path, platform::kOwnRegistryView,
                                   platform::RegistryAccess::kSetValue, error);
    if (!key) return HresultFromError(error);
    return HresultFromError(key->SetString(valueName, text));
}

HRESULT DeleteRegistryTree(const std::string& path) {
    const auto slash = path.rfind('\\');
    const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    std::uint32_t error = 0;
    auto parent = OpenBelowClassesRoot(parentPath, error);
    if (!parent) return IsMissing(error) ? S_OK : HresultFromError(error);
    error = parent->DeleteTree(leaf);
    return IsMissing(error) ? S_OK : HresultFromError(error);
}

HRESULT DeleteKeyTree(const std::string& parentPath, const std::string& name) {
    if (name.empty()) return E_FAIL;
    const std::string path = parentPath.empty() ? name : parentPath + "\\" + name;
    std::uint32_t error = 0;
    {
        const auto key = OpenBelowClassesRoot(path, error);
        if (!key) return S_OK;
        // One pass over the names: a subkey that refuses to go must not keep us here forever.
        for (const std::string& subkey : key->SubkeyNames()) DeleteKeyTree(path, subkey);
    }
    if (auto parent = OpenBelowClassesRoot(parentPath, error)) parent->DeleteTree(name);
    return S_OK;
}

}  // namespace orvanecam::com
