#include "camera/identity.h"

#include <algorithm>
#include <iterator>

#include "platform/utf16.h"

namespace orvanecam::camera {
namespace {

bool IsRemovedCharacter(char16_t unit) {
    return unit < 32 || std::u16string_view(u"\"*/:<>?\\|").find(unit) != std::u16string_view::npos;
}

}  // namespace

std::u16string SanitizeDeviceName(std::u16string_view name) {
    std::u16string kept;
    std::copy_if(name.begin(), name.end(), std::back_inserter(kept),
                 [](char16_t unit) { return !IsRemovedCharacter(unit); });
    std::u16string cleaned(platform::TrimWhiteSpace(kept));
    if (cleaned.size() > kMaxDeviceNameUnits) cleaned.resize(kMaxDeviceNameUnits);
    return cleaned;
}

std::u16string DeviceName(const CameraIdentity& camera) {
    std::u16string saved =
        settings::ReadUserSetting(settings::kFriendlyNameValue, kMaxDeviceNameBytes);
    return saved.empty() ? std::u16string(camera.defaultName) : saved;
}

}  // namespace orvanecam::camera
