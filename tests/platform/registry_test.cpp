#include "platform/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/environment.h"
#include "platform/process.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {
namespace {

// A key of its own under the current user's hive (and, off Windows, a store of its own).
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto id = std::to_string(CurrentProcessId());
        m_store = std::filesystem::temp_directory_path() / ("orvanecam-registry-" + id);
        SetEnvironmentValue(kRegistryRootVariable, m_store.string());
        m_path = "Software\\OrvaneCamTests\\Run" + id;
    }
    void TearDown() override {
        std::uint32_t error = 0;
        if (auto software =
                RegistryKey::Open(RegistryRoot::kCurrentUser, "Software", RegistryView::k64Bit,
                                  platform::RegistryAccess::kFull, error)) {
            software->DeleteTree("OrvaneCamTests");
        }
        std::filesystem::remove_all(m_store);
        SetEnvironmentValue(kRegistryRootVariable, std::nullopt);
    }
    std::filesystem::path m_store;
    std::string m_path;
};

TEST_F(RegistryTest, StringsWrittenInOneViewAreReadBackByName) {
    std::uint32_t error = 1;
    EXPECT_FALSE(RegistryKey::Open(RegistryRoot::kCurrentUser, m_path, RegistryView::k64Bit,
                                   platform::RegistryAccess::kQueryValue, error));
    EXPECT_EQ(error, kErrorFileNotFound);

    auto key = RegistryKey::Create(RegistryRoot::kCurrentUser, m_path, RegistryView::k64Bit,
                                   platform::RegistryAccess::kFull, error);
    ASSERT_TRUE(key) << error;
    ASSERT_EQ(key->SetString("VacantImagePath", u"C:\\pictures\\idle.bmp"), 0u);
    ASSERT_EQ(key->SetString("", u"default"), 0u);

    auto reopened = RegistryKey::Open(RegistryRoot::kCurrentUser, m_path, RegistryView::k64Bit,
                                      platform::RegistryAccess::kQueryValue, error);
    ASSERT_TRUE(reopened);
    std::u16string value;
    EXPECT_EQ(reopened->QueryString("vacantimagepath", 2080, value), 0u);  // names ignore case
    EXPECT_EQ(value, u"C:\\pictures\\idle.bmp");
    EXPECT_EQ(reopened->QueryString("", 2080, value), 0u);
    EXPECT_EQ(value, u"default");
    EXPECT_EQ(reopened->QueryString("Missing", 2080, value), kErrorFileNotFound);
}

TEST_F(RegistryTest, ValuesLongerThanTheBufferCountAsUnreadable) {
    std::uint32_t error = 0;
    auto key = RegistryKey::Create(RegistryRoot::kCurrentUser, m_path, RegistryView::k64Bit,
                                   platform::RegistryAccess::kFull, error);
    ASSERT_TRUE(key);
    ASSERT_EQ(key->SetString("Long", std::u16string(1040, u'x')), 0u);  // 2082 bytes stored
    std::u16string value = u"old";
    EXPECT_EQ(key->QueryString("Long", 2080, value), kErrorMoreData);
    EXPECT_TRUE(value.empty());
    ASSERT_EQ(key->SetString("Fits", std::u16string(1039, u'y')), 0u);
    EXPECT_EQ(key->QueryString("Fits", 2080, value), 0u);
    EXPECT_EQ(value.size(), 1039u);
}

TEST_F(RegistryTest, SubkeysAreListedAndDeletedWithEverythingBelow) {
    std::uint32_t error = 0;
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::kCurrentUser, m_path + "\\Alpha\\Deep",
                                    RegistryView::k64Bit, platform::RegistryAccess::kFull, error));
    ASSERT_TRUE(RegistryKey::Create(RegistryRoot::kCurrentUser, m_path + "\\Beta",
                                    RegistryView::k64Bit, platform::RegistryAccess::kFull, error));
    auto key = RegistryKey::Open(RegistryRoot::kCurrentUser, m_path, RegistryView::k64Bit,
                                 platform::RegistryAccess::kFull, error);
    ASSERT_TRUE(key);
    auto names = key->SubkeyNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Beta"}));
    EXPECT_EQ(key->DeleteTree("Alpha"), 0u);
    EXPECT_EQ(key->SubkeyNames(), std::vector<std::string>{"Beta"});
    EXPECT_NE(key->DeleteTree("Alpha"), 0u);
}

}  // namespace
}  // namespace orvanecam::platform
