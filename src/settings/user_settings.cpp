#include "settings/user_settings.h"

#include "platform/registry.h"
#include "platform/win32_errors.h"

namespace orvanecam::settings {
namespace {

constexpr platform::RegistryView kViews[] = {platform::RegistryView::k64Bit,
                                             platform::RegistryView::k32Bit};
constexpr std::size_t kPathValueBytes = 2080;  // 1040 UTF-16 units

}  // namespace

std::uint32_t StoreUserSetting(const char* valueName, const std::u16string& text,
                               std::string_view keyPath) {
    bool stored = false;
    std::uint32_t firstError = 0;
    for (const auto view : kViews) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Create(platform::RegistryRoot::kCurrentUser,
                                                 std::string(keyPath), view,
                                                 platform::RegistryAccess::kSetValue, error);
        if (key) error = key->SetString(valueName, text);
        stored |= error == platform::kErrorSuccess;
        if (firstError == 0) firstError = error;
    }
    if (stored) return 0;
    return firstError != 0 ? firstError : platform::kErrorAccessDenied;
}

std::u16string ReadUserSetting(const char* valueName, std::size_t maxBytes,
                               std::string_view keyPath) {
    for (const auto view : kViews) {
        std::uint32_t error = 0;
        const auto key =
            platform::RegistryKey::Open(platform::RegistryRoot::kCurrentUser, std::string(keyPath),
                                        view, platform::RegistryAccess::kQueryValue, error);
        std::u16string value;
        if (key && key->QueryString(valueName, maxBytes, value) == 0 && !value.empty()) {
            return value;
        }
    }
    return {};
}

std::u16string SavedVacantImagePath(std::string_view key) {
    return ReadUserSetting(kVacantImagePathValue, kPathValueBytes, key);
}

}  // namespace orvanecam::settings
