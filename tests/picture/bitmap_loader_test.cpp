#include "picture/bitmap_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "platform/process.h"

namespace orvanecam::picture {
namespace {

struct Pixel {
    std::uint8_t b, g, r;
};

// The colour of (x, y) in the test image: every pixel differs from its neighbours.
Pixel ColourAt(int x, int y) {
    return {static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 5),
            static_cast<std::uint8_t>((x + y) * 3)};
}

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A BMP file of the test image; bitFields writes a 32-bit BI_BITFIELDS file with the masks.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, bool topDown,
                                  bool bitFields = false) {
    const int stride = (width * bits + 31) / 32 * 4;
    const std::uint32_t pixelsAt = 14 + 40 + (bitFields ? 12 : 0);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, pixelsAt + static_cast<std::uint32_t>(stride * height));
    Put32(out, 0);
    Put32(out, pixelsAt);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(topDown ? -height : height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(bits));
    Put32(out, bitFields ? 3 : 0);
    for (int i = 0; i < 5; ++i) Put32(out, 0);
    if (bitFields) {
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
    }
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        std::vector<std::uint8_t> line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width && bits >= 24; ++x) {
            const Pixel p = ColourAt(x, y);
            const std::size_t at = static_cast<std::size_t>(x * bits / 8);
            line[at] = p.b;
            line[at + 1] = p.g;
            line[at + 2] = p.r;
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

class BitmapLoaderTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path =
            std::filesystem::temp_directory_path() /
            ("orvanecam-" + std::to_string(platform::CurrentProcessId()) + "-" + name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        m_files.push_back(path);
        return path.string();
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
