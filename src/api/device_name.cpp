#include "api/device_name.h"

#include <algorithm>

#include "com/camera_keys.h"
#include "filter/vcam.h"
#include "platform/registry.h"
#include "platform/win32_errors.h"
#include "producer/text_rules.h"

namespace orvanecam::api {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

bool IsRemovedCharacter(char16_t unit) {
    return unit < 32 || std::u16string_view(u"\"*/:<>?\\|").find(unit) != std::u16string_view::npos;
}

// One write: good when it succeeded or the key is simply not there.
bool WriteIfPresent(const std::string& path, const char* valueName, const std::u16string& name,
                    RegistryView view) {
    std::uint32_t error = 0;
    auto key = RegistryKey::Open(RegistryRoot::kClassesRoot, path, view,
                                 platform::RegistryAccess::kSetValue, error);
    if (!key) {
        return error == platform::kErrorFileNotFound || error == platform::kErrorPathNotFound ||
               error == platform::kErrorInvalidParameter;
    }
    return key->SetString(valueName, name) == platform::kErrorSuccess;
}

}  // namespace

std::u16string SanitizeDeviceName(const std::u16string& name) {
    std::u16string kept;
    std::copy_if(name.begin(), name.end(), std::back_inserter(kept),
                 [](char16_t unit) { return !IsRemovedCharacter(unit); });
    std::u16string cleaned(producer::TrimWhiteSpace(kept));
    if (cleaned.size() > kMaxDeviceNameUnits) cleaned.resize(kMaxDeviceNameUnits);
    return cleaned;
}

bool WriteDeviceNameToClassKeys(const std::u16string& name) {
    const std::string classKey = com::ClassKeyPath(filter::kCameraClassId);
    const std::string instanceKey = com::CameraInstanceKeyPath();
    if (classKey.empty() || instanceKey.empty()) return false;
    bool allGood = true;
    for (const RegistryView view : {RegistryView::k64Bit, RegistryView::k32Bit}) {
        allGood &= WriteIfPresent(classKey, "", name, view);
        allGood &= WriteIfPresent(instanceKey, "", name, view);
        allGood &= WriteIfPresent(instanceKey, "FriendlyName", name, view);
    }
    return allGood;
}

}  // namespace orvanecam::api
