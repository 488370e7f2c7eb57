// Registration through the module's exports, read back from the registry (off Windows, from a
// store of the test's own).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shared_library.h"
#include "platform/utf16.h"
#include "support/module_under_test.h"
#include "support/registration_fixture.h"

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

#ifdef _WIN32
// The 32-bit and the 64-bit DLL are registered under one class id, each in its own view: what
// one does must leave the other's keys as they are.
TEST_F(RegistrationTest, TheOtherBitnessRegistrationIsLeftAlone) {
    using platform::RegistryView;
    const RegistryView other = platform::kOwnRegistryView == RegistryView::k64Bit
                                   ? RegistryView::k32Bit
                                   : RegistryView::k64Bit;
    const auto write = [other](const std::string& path, const std::string& name) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Create(platform::RegistryRoot::kClassesRoot, path, other,
                                                 platform::RegistryAccess::kSetValue, error);
        return key && key->SetString(name, u"Other") == 0;
    };
    const auto remove = [other](const std::string& path) {
        const auto slash = path.rfind('\\');
        std::uint32_t error = 0;
        if (auto parent = platform::RegistryKey::Open(platform::RegistryRoot::kClassesRoot,
                                                      path.substr(0, slash), other,
                                                      platform::RegistryAccess::kFull, error)) {
            parent->DeleteTree(path.substr(slash + 1));
        }
    };
    ASSERT_TRUE(write(kClassKey, ""));
    ASSERT_TRUE(write(kInstanceKey, "FriendlyName"));

    EXPECT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kInstanceKey));
    EXPECT_EQ(Value(kClassKey, "", other), u"Other");
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName", other), u"Other");

    remove(kInstanceKey);
    remove(kClassKey);
}
#endif

}  // namespace
}  // namespace orvanecam::testing
