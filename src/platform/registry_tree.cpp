// Deleting keys by path, the same on every system: on top of each system's open and delete.
#include "platform/registry.h"

namespace orvanecam::platform {
namespace {

bool IsMissing(std::uint32_t error) {
    return error == kErrorFileNotFound || error == kErrorPathNotFound;
}

}  // namespace

std::uint32_t RegistryKey::DeleteTreeAt(RegistryRoot root, const std::string& path,
                                        RegistryView view) {
    if (path.empty()) return kErrorInvalidParameter;
    const auto slash = path.rfind('\\');
    const std::string parentPath = slash == std::string::npos ? "" : path.substr(0, slash);
    const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    std::uint32_t error = 0;
    auto parent = Open(root, parentPath, view, RegistryAccess::kFull, error);
    if (parent) error = parent->DeleteTree(leaf);
    return IsMissing(error) ? kErrorSuccess : error;
}

std::uint32_t RegistryKey::DeleteIfEmpty(RegistryRoot root, const std::string& path,
                                         RegistryView view) {
    std::uint32_t error = 0;
    const auto key = Open(root, path, view, RegistryAccess::kQueryValue, error);
    return key && key->IsEmpty() ? DeleteTreeAt(root, path, view) : kErrorSuccess;
}

}  // namespace orvanecam::platform
