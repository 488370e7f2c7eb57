// Registry values the store cannot write (a folder stands where the value's file belongs, which
// stops even a privileged user).
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "api/module_block.h"
#include "api/module_last_error.h"
#include "api/registry_fixture.h"
#include "platform/utf16.h"
#include "support/bmp_writer.h"

namespace orvanecam::testing {
namespace {

namespace fs = std::filesystem;

class RegistryRefusalTest : public RegistryTest {
  protected:
    static void Obstruct(const fs::path& valueFile) {
        fs::remove(valueFile);
        fs::create_directories(valueFile);
    }
    fs::path UserKey() const {
        return m_store / "HKEY_CURRENT_USER" / "software" / "orvane" / "orvanecamsdk";
    }
};

TEST_F(RegistryRefusalTest, ANameTheClassKeysRefuseIsKeptForTheUserAndReported) {
    ASSERT_EQ(m_register(), S_OK);
    Obstruct(m_store / "HKEY_LOCAL_MACHINE" / "software" / "classes" / "clsid" /
             "{860bb310-5d01-11d0-bd3b-00a0c911ce86}" / "instance" /
             "{5b2e9c47-81d3-4f6a-9c1e-3a7d0b64e2f9}" / "friendlyname.value");
    EXPECT_EQ(SetFriendlyName(Text(u"Hall Camera")), 21u);
    EXPECT_EQ(ModuleLastError(), 21u);
    EXPECT_EQ(UserValue("FriendlyName"), u"Hall Camera");
}

TEST_F(RegistryRefusalTest, AVacantImageWhosePathCannotBeStoredLeavesTheBlockAlone) {
    ASSERT_TRUE(OpenModuleBlock());
    const std::uint32_t seq = ModuleReader().CurrentSeq();
    Obstruct(UserKey() / "vacantimagepath.value");
    const fs::path file = WriteTempFile("refused.bmp", MakeBmp(64, 48, 24, false));
    EXPECT_EQ(SetVacantImg(Text(platform::Utf8ToUtf16(file.string()))), 5u);
    EXPECT_EQ(ModuleLastError(), 5u);
    EXPECT_EQ(ModuleReader().CurrentSeq(), seq);
    fs::remove(file);

    Obstruct(UserKey() / "friendlyname.value");
    EXPECT_EQ(SetFriendlyName(Text(u"Any Name")), 5u);
}

}  // namespace
}  // namespace orvanecam::testing
