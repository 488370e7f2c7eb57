#include "devices/camera_keys.h"

#include "platform/utf16.h"

namespace orvanecam::devices {
namespace {

bool KeyExists(platform::RegistryRoot classes, const std::string& path,
               platform::RegistryView view) {
    if (path.empty()) return false;
    std::uint32_t error = 0;
    return platform::RegistryKey::Open(classes, path, view, platform::RegistryAccess::kQueryValue,
                                       error)
        .has_value();
}

}  // namespace

std::string ClassKeyPath(REFCLSID classId) {
    const std::u16string id = sdk::GuidText(classId);
    return id.empty() ? std::string() : "CLSID\\" + platform::Utf16ToUtf8(id);
}

std::string InstanceKeyPath(REFCLSID category, REFCLSID filterClass) {
    const std::string categoryKey = ClassKeyPath(category);
    const std::u16string filter = sdk::GuidText(filterClass);
    if (categoryKey.empty() || filter.empty()) return {};
    return categoryKey + "\\Instance\\" + platform::Utf16ToUtf8(filter);
}

std::string CameraInstanceKeyPath(const camera::CameraIdentity& camera) {
    return InstanceKeyPath(CLSID_VideoInputDeviceCategory, sdk::GuidOf(camera.filterClass));
}

std::string MicrophoneInstanceKeyPath(const camera::CameraIdentity& camera) {
    return InstanceKeyPath(CLSID_AudioInputDeviceCategory, sdk::GuidOf(camera.microphoneClass));
}

bool IsCameraRegistered(const camera::CameraIdentity& camera, platform::RegistryView view,
                        platform::RegistryRoot classes) {
    const std::string classKey = ClassKeyPath(sdk::GuidOf(camera.filterClass));
    return KeyExists(classes, CameraInstanceKeyPath(camera), view) && !classKey.empty() &&
           KeyExists(classes, classKey + "\\InprocServer32", view);
}

std::vector<const camera::CameraIdentity*> RegisteredCameras(platform::RegistryView view,
                                                             platform::RegistryRoot classes) {
    std::vector<const camera::CameraIdentity*> registered;
    for (int number = 1; number <= camera::kMaxCameras; ++number) {
        const camera::CameraIdentity* camera = camera::CameraNumbered(number);
        if (IsCameraRegistered(*camera, view, classes)) registered.push_back(camera);
    }
    return registered;
}

void DeleteEmptyParentKeys(platform::RegistryRoot classes, platform::RegistryView view) {
    for (const GUID* category :
         {&CLSID_VideoInputDeviceCategory, &CLSID_AudioInputDeviceCategory}) {
        (void)platform::RegistryKey::DeleteIfEmpty(classes, ClassKeyPath(*category) + "\\Instance",
                                                   view);
        (void)platform::RegistryKey::DeleteIfEmpty(classes, ClassKeyPath(*category), view);
    }
    (void)platform::RegistryKey::DeleteIfEmpty(classes, "CLSID", view);
}

bool IsCameraRegisteredInAnyView(const camera::CameraIdentity& camera) {
    return IsCameraRegistered(camera, platform::RegistryView::k64Bit) ||
           IsCameraRegistered(camera, platform::RegistryView::k32Bit);
}

}  // namespace orvanecam::devices
