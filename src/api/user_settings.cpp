#include "api/user_settings.h"

#include "picture/vacant_picture.h"
#include "platform/registry.h"
#include "platform/win32_errors.h"

namespace orvanecam::api {

std::uint32_t StoreUserSetting(const char* valueName, const std::u16string& text) {
    bool stored = false;
    std::uint32_t firstError = 0;
    for (const auto view : {platform::RegistryView::k64Bit, platform::RegistryView::k32Bit}) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Create(platform::RegistryRoot::kCurrentUser,
                                                 picture::kSettingsKey, view,
                                                 platform::RegistryAccess::kSetValue, error);
        if (key) error = key->SetString(valueName, text);
        stored |= error == platform::kErrorSuccess;
        if (firstError == 0) firstError = error;
    }
    if (stored) return 0;
    return firstError != 0 ? firstError : platform::kErrorAccessDenied;
}

}  // namespace orvanecam::api
