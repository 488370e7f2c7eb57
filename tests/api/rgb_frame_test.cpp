// RGB producers: BGRA and BGR frames reach the block as NV12 with the camera's BT.601
// limited-range colours, top-down or bottom-up, through any stride.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "api/module_block.h"
#include "picture/pixel_formats.h"

namespace orvanecam {
namespace {

constexpr std::int32_t kSide = 16;

struct Colour {
    const char* name;
    std::uint8_t b, g, r;
    int y, u, v;  // expected
};

// BT.601 limited range: Y = 16 + 219 Y', U and V = 128 + 224 (B' - Y') / 1.772 and (R' - Y')
// / 1.402.
constexpr Colour kColours[] = {
    {"red", 0, 0, 255, 82, 90, 240},
    {"green", 0, 255, 0, 145, 54, 34},
    {"blue", 255, 0, 0, 41, 240, 110},
    {"white", 255, 255, 255, 235, 128, 128},
    {"black", 0, 0, 0, 16, 128, 128},
    {"grey 64", 64, 64, 64, 71, 128, 128},
    {"grey 128", 128, 128, 128, 126, 128, 128},
    {"grey 192", 192, 192, 192, 181, 128, 128},
};

class RgbFrameTest : public testing::ModuleBlockTest {
  protected:
    void SetUp() override { ASSERT_EQ(SetOutputFormat(kSide, kSide, 1), 0u); }

    // A frame of rows x kSide pixels of bytesPerPixel, stride bytes a row, every pixel colour.
    static std::vector<std::uint8_t> Frame(std::int32_t bytesPerPixel, std::int32_t stride,
                                           const Colour& colour) {
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(stride) * kSide, 0xEE);
        for (std::int32_t row = 0; row < kSide; ++row) {
            for (std::int32_t x = 0; x < kSide; ++x) {
                std::uint8_t* pixel =
                    &frame[static_cast<std::size_t>(row * stride + x * bytesPerPixel)];
                pixel[0] = colour.b;
                pixel[1] = colour.g;
                pixel[2] = colour.r;
            }
        }
        return frame;
    }
    static int Luma(std::int32_t row) { return Block().frameArea[row * kSide]; }
    static int U() { return Block().frameArea[picture::LumaBytes(kSide, kSide)]; }
    static int V() { return Block().frameArea[picture::LumaBytes(kSide, kSide) + 1]; }
    static void ExpectColour(const Colour& colour, const char* how) {
        EXPECT_LE(std::abs(Luma(0) - colour.y), 2) << colour.name << " " << how << " Y " << Luma(0);
        EXPECT_LE(std::abs(U() - colour.u), 2) << colour.name << " " << how << " U " << U();
        EXPECT_LE(std::abs(V() - colour.v), 2) << colour.name << " " << how << " V " << V();
    }
};

TEST_F(RgbFrameTest, KnownColoursArriveWithinTwoOfTheirBt601Values) {
    for (const Colour& colour : kColours) {
        const auto bgra = Frame(4, 4 * kSide, colour);
        ASSERT_EQ(SendFrameBGRA(bgra.data(), kSide, kSide, 4 * kSide), 0u);
        ExpectColour(colour, "BGRA");
        // A cropped view: rows further apart than the picture is wide.
        const auto bgr = Frame(3, 3 * kSide + 12, colour);
        ASSERT_EQ(SendFrameBGR24(bgr.data(), kSide, kSide, 3 * kSide + 12), 0u);
        ExpectColour(colour, "BGR");
    }
}

TEST_F(RgbFrameTest, ANegativeHeightIsABottomUpFrame) {
    // Stored top half red, bottom half blue: a bottom-up frame shows blue at the top.
    auto frame = Frame(4, 4 * kSide, kColours[0]);
    const auto blue = Frame(4, 4 * kSide, kColours[2]);
    std::copy(blue.begin() + blue.size() / 2, blue.end(), frame.begin() + frame.size() / 2);
    ASSERT_EQ(SendFrameBGRA(frame.data(), kSide, kSide, 4 * kSide), 0u);
    EXPECT_NEAR(Luma(0), kColours[0].y, 2);
    ASSERT_EQ(SendFrameBGRA(frame.data(), kSide, -kSide, 4 * kSide), 0u);
    EXPECT_NEAR(Luma(0), kColours[2].y, 2);
    EXPECT_NEAR(Luma(kSide - 1), kColours[0].y, 2);
}

TEST_F(RgbFrameTest, BadFramesAreRefusedWithTheFrameCodes) {
    const auto frame = Frame(4, 4 * kSide, kColours[0]);
    EXPECT_EQ(SendFrameBGRA(nullptr, kSide, kSide, 4 * kSide), 87u);
    EXPECT_EQ(SendFrameBGRA(frame.data(), kSide, 0, 4 * kSide), 87u);
    EXPECT_EQ(SendFrameBGRA(frame.data(), 0, kSide, 4 * kSide), 87u);
    EXPECT_EQ(SendFrameBGRA(frame.data(), kSide - 1, kSide, 4 * kSide), 13u);
    EXPECT_EQ(SendFrameBGRA(frame.data(), kSide, kSide, 4 * kSide - 1), 13u);
    EXPECT_EQ(SendFrameBGR24(frame.data(), kSide, kSide, 3 * kSide - 1), 13u);
    // YUY2 has no bottom-up form.
    EXPECT_EQ(SendFrameYUY2(frame.data(), kSide, -kSide, 2 * kSide), 87u);
}

TEST_F(RgbFrameTest, AFrameOfAnotherSizeIsScaledToTheOutputSize) {
    const std::int32_t width = 2 * kSide;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * 3 * kSide * 2, 255);
    const std::uint32_t seq = Reader().CurrentSeq();
    ASSERT_EQ(SendFrameBGR24(frame.data(), width, 2 * kSide, 3 * width), 0u);
    EXPECT_EQ(Reader().CurrentSeq(), seq + 1);
    EXPECT_NEAR(Luma(kSide / 2), 235, 2);
}

}  // namespace
}  // namespace orvanecam
