#include "com/camera_keys.h"

#include "filter/vcam.h"
#include "platform/utf16.h"

namespace orvanecam::com {

std::u16string GuidText(REFGUID guid) {
    OLECHAR text[64] = {};
    if (StringFromGUID2(guid, text, 64) == 0) return {};
    std::u16string result;
    for (const OLECHAR* at = text; *at != 0; ++at) result += static_cast<char16_t>(*at);
    return result;
}

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
