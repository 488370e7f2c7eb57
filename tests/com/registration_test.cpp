// Registration through the module's exports, read back from the registry (off Windows, from a
// store of the test's own).
#include <gtest/gtest.h>

#include <filesystem>

#include "support/module_under_test.h"
#include "support/registration_fixture.h"
#include "platform/shared_library.h"
#include "platform/utf16.h"

namespace orvanecam::testing {
namespace {

TEST_F(RegistrationTest, RegisteringWritesEveryValueOfTheClassAndDeviceKeys) {
    ASSERT_EQ(m_register(), S_OK);

    EXPECT_EQ(Value(kClassKey, ""), u"OrvaneCam");
    EXPECT_EQ(Value(kClassKey + "\\InprocServer32", "ThreadingModel"), u"Both");
    EXPECT_EQ(Value(kInstanceKey, ""), u"OrvaneCam");
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
    EXPECT_EQ(Value(kInstanceKey, "CLSID"), u"{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}");

    // The server path is a full path that loads this very module.
    const std::string server = platform::Utf16ToUtf8(Value(kClassKey + "\\InprocServer32", ""));
    EXPECT_TRUE(std::filesystem::path(server).filename() ==
                std::filesystem::path(ORVANECAM_MODULE_FILE).filename())
        << server;
    EXPECT_TRUE(platform::SharedLibrary::Load(server).has_value()) << server;

    // Registering again rewrites the same values.
    EXPECT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
}

TEST_F(RegistrationTest, UnregisteringRemovesBothKeysAndToleratesTheirAbsence) {
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(kInstanceKey));
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
}

TEST_F(RegistrationTest, InstallRegistersWithAFlagAndUnregistersWithout) {
    const char16_t commandLine[] = u"user";
    const auto* text = reinterpret_cast<LPCWSTR>(commandLine);
    ASSERT_EQ(m_install(TRUE, text), S_OK);
    EXPECT_TRUE(KeyExists(kInstanceKey));
    EXPECT_EQ(m_install(FALSE, nullptr), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(kInstanceKey));
}

}  // namespace
}  // namespace orvanecam::testing
