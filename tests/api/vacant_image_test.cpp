// SetVacantImg through the module's export: paths, files, the registry value and the block.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "api/module_block.h"
#include "api/module_last_error.h"
#include "api/registry_fixture.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/utf16.h"
#include "support/bmp_writer.h"

namespace orvanecam::testing {
namespace {

namespace fs = std::filesystem;

class VacantImageTest : public RegistryTest {
  protected:
    static void SetUpTestSuite() { ASSERT_TRUE(OpenModuleBlock()); }
    void TearDown() override {
        for (const fs::path& file : m_files) fs::remove(file);
        RegistryTest::TearDown();
    }

    static exchange::SharedBlock& Block() { return *ModuleReader().Block(); }
    // A bitmap file in folder, removed after the test.
    fs::path Bitmap(const fs::path& folder, const std::string& name, int width, int height,
                    int bits = 24) {
        const auto bytes = MakeBmp(width, height, bits, false);
        m_files.push_back(folder / name);
        std::ofstream(m_files.back(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return m_files.back();
    }
    static std::u16string Wide(const fs::path& path) {
        return platform::Utf8ToUtf16(path.string());
    }
    std::string Unique(const std::string& name) {
        return std::to_string(platform::CurrentProcessId()) + "-" + name;
    }

    std::vector<fs::path> m_files;
};

TEST_F(VacantImageTest, ABitmapIsStoredInTheBlockAndItsFullPathInTheRegistry) {
    const fs::path file = Bitmap(fs::temp_directory_path(), Unique("vacant.bmp"), 1921, 1081);
    const std::uint32_t seq = ModuleReader().CurrentSeq();
    // Outer spaces and quotes go; the path inside is used as it stands.
    EXPECT_EQ(SetVacantImg(Text(u"  \"" + Wide(file) + u"\" ")), 0u);
    EXPECT_EQ(ModuleLastError(), 0u);
    EXPECT_EQ(exchange::Atomic(Block().customVacant).load(), 1u);
    EXPECT_EQ(exchange::Atomic(Block().vacantWidth).load(), 1920);
    EXPECT_EQ(exchange::Atomic(Block().vacantHeight).load(), 1080);
    EXPECT_EQ(exchange::Atomic(Block().vacantBytes).load(), 3110400);
    EXPECT_EQ(ModuleReader().CurrentSeq(), seq + 1);
    EXPECT_TRUE(
        fs::equivalent(fs::path(platform::Utf16ToUtf8(UserValue("VacantImagePath"))), file));
}

TEST_F(VacantImageTest, ARelativeNameIsTakenFromTheProducersFolderNotTheCurrentOne) {
    const std::string name = Unique("beside.bmp");
    const fs::path beside = Bitmap(platform::ExecutableDirectory(), name, 64, 48);
    // The current directory holds a file of that name that would be refused.
    const fs::path elsewhere = fs::temp_directory_path() / Unique("elsewhere");
    fs::create_directories(elsewhere);
    Bitmap(elsewhere, name, 64, 48, 8);
    const fs::path previous = fs::current_path();
    fs::current_path(elsewhere);
    const std::uint32_t result = SetVacantImg(Text(platform::Utf8ToUtf16(name)));
    fs::current_path(previous);
    fs::remove_all(elsewhere);
    EXPECT_EQ(result, 0u);
    EXPECT_TRUE(
        fs::equivalent(fs::path(platform::Utf16ToUtf8(UserValue("VacantImagePath"))), beside));
}

TEST_F(VacantImageTest, BadPathsAndFilesChangeNeitherTheRegistryNorTheBlock) {
    const std::uint32_t seq = ModuleReader().CurrentSeq();
    for (const char16_t* nothing : {u"", u"   ", u"\"\""}) {
        EXPECT_EQ(SetVacantImg(Text(nothing)), 87u);
    }
    EXPECT_EQ(SetVacantImg(nullptr), 87u);
    EXPECT_EQ(ModuleLastError(), 87u);

    const fs::path folder = fs::temp_directory_path();
    EXPECT_EQ(SetVacantImg(Text(Wide(folder / Unique("missing.bmp")))), 2u);
    EXPECT_EQ(SetVacantImg(Text(Wide(Bitmap(folder, Unique("picture.png"), 64, 48)))), 13u);
    EXPECT_EQ(SetVacantImg(Text(Wide(Bitmap(folder, Unique("grey.bmp"), 64, 48, 8)))), 13u);
    EXPECT_EQ(ModuleLastError(), 13u);
    const std::u16string tooLong = Wide(folder) + u"/" + std::u16string(1100, u'a') + u".bmp";
    EXPECT_EQ(SetVacantImg(Text(tooLong)), 161u);

    EXPECT_EQ(UserValue("VacantImagePath"), u"<missing>");
    EXPECT_EQ(ModuleReader().CurrentSeq(), seq);
}

}  // namespace
}  // namespace orvanecam::testing
