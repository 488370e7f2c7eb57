#include "picture/bitmap_loader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/bmp_writer.h"

namespace orvanecam::picture {
namespace {

using testing::MakeBmp;
using testing::WriteTempFile;

class BitmapLoaderTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        m_files.push_back(WriteTempFile(name, bytes));
        return m_files.back().string();
    }
    void TearDown() override {
        for (const auto& file : m_files) std::filesystem::remove(file);
    }

    struct Loaded {
        bool ok;
        std::vector<std::uint8_t> nv12;
        std::int32_t width, height;
    };
    static Loaded Load(const std::string& path) {
        Loaded loaded{};
        loaded.ok = LoadBitmapAsNv12(path, loaded.nv12, loaded.width, loaded.height);
        return loaded;
    }

    std::vector<std::filesystem::path> m_files;
};

TEST_F(BitmapLoaderTest, OddSizesLoseTheLastColumnAndBottomRow) {
    const Loaded odd = Load(Write("odd.bmp", MakeBmp(21, 11, 24, false)));
    ASSERT_TRUE(odd.ok);
    EXPECT_EQ(odd.width, 20);
    EXPECT_EQ(odd.height, 10);
    // The same picture as the even image made without the extra column and row.
    const Loaded even = Load(Write("even.bmp", MakeBmp(20, 10, 24, false)));
    ASSERT_TRUE(even.ok);
    EXPECT_EQ(odd.nv12, even.nv12);
    ASSERT_EQ(odd.nv12.size(), 20u * 10u * 3u / 2u);
}

TEST_F(BitmapLoaderTest, RowOrderAndPixelLayoutDoNotChangeThePicture) {
    const Loaded bottomUp24 = Load(Write("a.bmp", MakeBmp(16, 8, 24, false)));
    const Loaded topDown32 = Load(Write("b.bmp", MakeBmp(16, 8, 32, true)));
    const Loaded fields32 = Load(Write("c.bmp", MakeBmp(16, 8, 32, false, true)));
    ASSERT_TRUE(bottomUp24.ok && topDown32.ok && fields32.ok);
    EXPECT_EQ(bottomUp24.nv12, topDown32.nv12);
    EXPECT_EQ(bottomUp24.nv12, fields32.nv12);
    // Distinct rows: the first luma row differs from the last, so the order was kept.
    EXPECT_NE(bottomUp24.nv12[0], bottomUp24.nv12[16 * 7]);
}

TEST_F(BitmapLoaderTest, OnlyBmpFilesOfTwentyFourOrThirtyTwoBitsLoad) {
    const auto bmp = MakeBmp(8, 8, 24, false);
    EXPECT_TRUE(Load(Write("upper.BMP", bmp)).ok);
    EXPECT_FALSE(Load(Write("picture.png", bmp)).ok);
    EXPECT_FALSE(Load(Write("picture.bmp.jpg", bmp)).ok);
    EXPECT_FALSE(Load(Write("eight.bmp", MakeBmp(8, 8, 8, false))).ok);
    EXPECT_FALSE(Load(Write("sixteen.bmp", MakeBmp(8, 8, 16, false))).ok);
    EXPECT_FALSE(Load(Write("one.bmp", MakeBmp(1, 8, 24, false))).ok);
    const Loaded missing = Load("/no/such/picture.bmp");
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.nv12.empty());
    EXPECT_EQ(missing.width, 0);
}

TEST_F(BitmapLoaderTest, DamagedFilesAreRefusedWithoutReadingPastThem) {
    const auto valid = MakeBmp(12, 6, 24, false);
    std::mt19937 random(1234);
    for (int round = 0; round < 300; ++round) {
        auto damaged = valid;
        const int changes = 1 + static_cast<int>(random() % 6);
        for (int i = 0; i < changes; ++i) {
            // Mostly the headers, where a bad value would send a reader astray.
            const std::size_t at = random() % 3 != 0 ? random() % 60 : random() % damaged.size();
            damaged[at] = static_cast<std::uint8_t>(random());
        }
        if (random() % 4 == 0) damaged.resize(random() % damaged.size());
        const Loaded loaded = Load(Write("damaged.bmp", damaged));
        if (loaded.ok) {
            EXPECT_EQ(loaded.nv12.size(), static_cast<std::size_t>(loaded.width) *
                                              static_cast<std::size_t>(loaded.height) * 3 / 2);
        }
        std::filesystem::remove(m_files.back());
        m_files.pop_back();
    }
}

}  // namespace
}  // namespace orvanecam::picture
