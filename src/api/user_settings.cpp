#include "api/user_settings.h"

#include "picture/vacant_picture.h"
#include "platform/registry.h"
#include "platform/win32_errors.h"

namespace orvanecam::api {

bool StoreUserSetting(const char* valueName, const std::u16string& text) {
    bool stored = false;
    for (const auto view : {platform::RegistryView::k64Bit, platform::RegistryView::k32Bit}) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Create(platform::RegistryRoot::kCurrentUser,
                                                 picture::kSettingsKey, view,
                                                 platform::RegistryAccess::kSetValue, error);
        if (key && key->SetString(valueName, text) == platform::kErrorSuccess) stored = true;
    }
    return stored;
}

}  // namespace orvanecam::api
