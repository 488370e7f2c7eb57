#pragma once
// Tests of the exports that write the registry: registration's sandbox (the camera unregistered
// at both ends, off Windows a store of the test's own), and the user's settings key removed after.
#include <orvanecam/orvanecam.h>

#include <string>

#include "settings/user_settings.h"
#include "support/registration_fixture.h"

namespace orvanecam::testing {

class RegistryTest : public RegistrationTest {
  protected:
    void TearDown() override {
        std::uint32_t error = 0;
        if (auto software = platform::RegistryKey::Open(
                platform::RegistryRoot::kCurrentUser, "Software\\Orvane",
                platform::RegistryView::k64Bit, platform::RegistryAccess::kFull, error)) {
            software->DeleteTree("OrvaneCamSDK");
        }
        RegistrationTest::TearDown();
    }

    static const OrvaneCamChar16* Text(const char16_t* text) {
        return reinterpret_cast<const OrvaneCamChar16*>(text);
    }
    static const OrvaneCamChar16* Text(const std::u16string& text) { return Text(text.c_str()); }

    // A value of the user's settings key, or "<missing>".
    static std::u16string UserValue(const std::string& name) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Open(
            platform::RegistryRoot::kCurrentUser, settings::kSettingsKey,
            platform::RegistryView::k64Bit, platform::RegistryAccess::kQueryValue, error);
        std::u16string value;
        if (!key || key->QueryString(name, 4096, value) != 0) return u"<missing>";
        return value;
    }
};

}  // namespace orvanecam::testing
