// The vacant picture: a custom picture in the block, the registry's bitmap, or black.
#include "picture/vacant_picture.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "exchange/publisher.h"
#include "picture/pixel_formats.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/registry.h"
#include "settings/user_settings.h"
#include "support/bmp_writer.h"
#include "support/isolated_names.h"

namespace orvanecam::picture {
namespace {

constexpr MediaFrame kNv12{64, 48, SampleFormat::kNv12};
// The filter's source of the saved path: the user's registry setting.
const VacantPicture::SavedPathSource kSaved = [] { return settings::SavedVacantImagePath(); };
constexpr MediaFrame kYuy2{64, 48, SampleFormat::kYuy2};

class VacantPictureTest : public testing::IsolatedNamesTest {
  protected:
    void SetUp() override {
        IsolatedNamesTest::SetUp();
        m_store = std::filesystem::temp_directory_path() /
                  ("orvanecam-vacant-" + std::to_string(platform::CurrentProcessId()));
        platform::SetEnvironmentValue(platform::kRegistryRootVariable, m_store.string());
        ASSERT_TRUE(m_producer.OpenOrCreateBlock());
        m_block = m_producer.Block();
    }
    void TearDown() override {
        std::uint32_t error = 0;
        if (auto key = platform::RegistryKey::Open(
                platform::RegistryRoot::kCurrentUser, settings::kSettingsKey,
                platform::RegistryView::k64Bit, platform::RegistryAccess::kFull, error)) {
            key->DeleteTree("");
        }
        std::filesystem::remove_all(m_store);
        if (!m_bitmap.empty()) std::filesystem::remove(m_bitmap);
        platform::SetEnvironmentValue(platform::kRegistryRootVariable, std::nullopt);
    }

    void SetRegistryPath(const std::u16string& path) {
        std::uint32_t error = 0;
        auto key = platform::RegistryKey::Create(
            platform::RegistryRoot::kCurrentUser, settings::kSettingsKey,
            platform::RegistryView::k64Bit, platform::RegistryAccess::kFull, error);
        ASSERT_TRUE(key);
        ASSERT_EQ(key->SetString(settings::kVacantImagePathValue, path), 0u);
    }
    std::u16string WriteBitmap(const std::string& name) {
        m_bitmap = testing::WriteTempFile(name, testing::MakeBmp(32, 24, 24, false));
        const std::string text = m_bitmap.string();
        return std::u16string(text.begin(), text.end());
    }

    std::vector<std::uint8_t> Render(VacantPicture& vacant, const MediaFrame& media,
                                     exchange::SharedBlock* block) {
        std::vector<std::uint8_t> sample(FrameBytes(media) + 8, 0xAB);
        vacant.Render(m_state, block, {}, sample.data(), sample.size(), media);
        return sample;
    }
    static std::vector<std::uint8_t> Black(const MediaFrame& media) {
        std::vector<std::uint8_t> sample(FrameBytes(media) + 8, 0xAB);
        FillBlackFrame(sample.data(), media);
        return sample;
    }

    exchange::FramePublisher m_producer;
    exchange::SharedBlock* m_block = nullptr;
    RenderState m_state;
    std::filesystem::path m_store;
    std::filesystem::path m_bitmap;
};

TEST_F(VacantPictureTest, BlackFrameCoversOnlyTheFrameBytes) {
    const auto nv12 = Black(kNv12);
    EXPECT_EQ(nv12[0], kBlackLuma);
    EXPECT_EQ(nv12[LumaBytes(64, 48) - 1], kBlackLuma);
    EXPECT_EQ(nv12[LumaBytes(64, 48)], kBlackChroma);
    EXPECT_EQ(nv12[FrameBytes(kNv12) - 1], kBlackChroma);
    EXPECT_EQ(nv12[FrameBytes(kNv12)], 0xAB);
    const auto yuy2 = Black(kYuy2);
    EXPECT_EQ((std::vector<std::uint8_t>(yuy2.begin(), yuy2.begin() + 4)),
              (std::vector<std::uint8_t>{16, 128, 16, 128}));
    EXPECT_EQ(yuy2[FrameBytes(kYuy2)], 0xAB);
}

TEST_F(VacantPictureTest, WithoutCustomPictureOrRegistryValueTheCameraShowsBlack) {
    VacantPicture vacant(kSaved);
    EXPECT_EQ(Render(vacant, kNv12, m_block), Black(kNv12));
    EXPECT_EQ(Render(vacant, kYuy2, m_block), Black(kYuy2));
    EXPECT_EQ(Render(vacant, kNv12, nullptr), Black(kNv12));
}

TEST_F(VacantPictureTest, RegistryBitmapIsLoadedOnceIntoTheBlockAndSharedFromThere) {
    SetRegistryPath(WriteBitmap("idle.BMP"));
    VacantPicture vacant(kSaved);
    EXPECT_NE(Render(vacant, kNv12, m_block), Black(kNv12));
    EXPECT_EQ(exchange::Atomic(m_block->customVacant).load(), 1u);
    EXPECT_EQ(exchange::Atomic(m_block->vacantWidth).load(), 32);
    EXPECT_EQ(exchange::Atomic(m_block->vacantHeight).load(), 24);
    EXPECT_EQ(exchange::Atomic(m_block->vacantBytes).load(), 32 * 24 * 3 / 2);

    // Another process's source finds the picture in the block without the registry.
    SetRegistryPath(u"");
    VacantPicture other(kSaved);
    EXPECT_NE(Render(other, kNv12, m_block), Black(kNv12));
}

TEST_F(VacantPictureTest, RegistryIsTriedOncePerProcessAndOnlyForBmpFiles) {
    SetRegistryPath(WriteBitmap("idle.png"));
    VacantPicture vacant(kSaved);
    EXPECT_EQ(Render(vacant, kNv12, m_block), Black(kNv12));
    SetRegistryPath(WriteBitmap("idle.bmp"));
    EXPECT_EQ(Render(vacant, kNv12, m_block), Black(kNv12));  // already tried
    VacantPicture fresh(kSaved);
    EXPECT_NE(Render(fresh, kNv12, m_block), Black(kNv12));
}

TEST_F(VacantPictureTest, InvalidCustomPictureFieldsShowBlack) {
    exchange::Atomic(m_block->customVacant).store(1u);
    const struct {
        std::int32_t width, height, bytes;
    } broken[] = {{32, 24, 32 * 24 * 3 / 2 - 1}, {33, 24, 4096},     {32, 0, 4096}, {32, 24, 0},
                  {4098, 2, 0x2000000},          {32, 24, 0x2000001}};
    for (const auto& fields : broken) {
        exchange::Atomic(m_block->vacantWidth).store(fields.width);
        exchange::Atomic(m_block->vacantHeight).store(fields.height);
        exchange::Atomic(m_block->vacantBytes).store(fields.bytes);
        VacantPicture vacant(kSaved);
        EXPECT_EQ(Render(vacant, kNv12, m_block), Black(kNv12))
            << fields.width << "x" << fields.height;
    }
}

}  // namespace
}  // namespace orvanecam::picture
