#include "api/device_name.h"

#include "devices/camera_keys.h"
#include "platform/registry.h"
#include "platform/win32_errors.h"

namespace orvanecam::api {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

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

bool WriteDeviceNameToClassKeys(const camera::CameraIdentity& camera, const std::u16string& name) {
    const std::string classKey = devices::ClassKeyPath(sdk::GuidOf(camera.filterClass));
    const std::string instanceKey = devices::CameraInstanceKeyPath(camera);
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
