#include "com/camera_keys.h"

#include "filter/vcam.h"
#include "platform/utf16.h"

namespace orvanecam::com {

std::string ClassKeyPath(REFCLSID classId) {
    const std::u16string id = GuidText(classId);
    return id.empty() ? std::string() : "CLSID\\" + platform::Utf16ToUtf8(id);
}

std::string CameraInstanceKeyPath() {
    const std::string category = ClassKeyPath(CLSID_VideoInputDeviceCategory);
    const std::u16string camera = GuidText(filter::kCameraClassId);
    if (category.empty() || camera.empty()) return {};
    return category + "\\Instance\\" + platform::Utf16ToUtf8(camera);
}

}  // namespace orvanecam::com
