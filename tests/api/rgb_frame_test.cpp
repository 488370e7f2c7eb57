// Producer formats: BGRA and BGR frames, and every format of the general SendFrame, reach the
// block as NV12 with the camera's BT.601 limited-range colours, top-down or bottom-up, through
// any stride.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
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

// A side x side frame of format filled with colour (its Y, U, V for the YUV formats, its grey
// level for GRAY8), rows padded by 6 bytes (an even stride).
std::vector<std::uint8_t> FrameOf(std::int32_t format, const Colour& colour, std::int32_t side,
                                  std::int32_t& stride) {
    const auto y = static_cast<std::uint8_t>(colour.y);
    const auto u = static_cast<std::uint8_t>(colour.u);
    const auto v = static_cast<std::uint8_t>(colour.v);
    std::vector<std::uint8_t> pixel;
    switch (format) {
        case ORVANECAM_FORMAT_BGRA:
            pixel = {colour.b, colour.g, colour.r, 9};
            break;
        case ORVANECAM_FORMAT_RGBA:
            pixel = {colour.r, colour.g, colour.b, 9};
            break;
        case ORVANECAM_FORMAT_BGR24:
            pixel = {colour.b, colour.g, colour.r};
            break;
        case ORVANECAM_FORMAT_RGB24:
            pixel = {colour.r, colour.g, colour.b};
            break;
        case ORVANECAM_FORMAT_YUY2:
            pixel = {y, u, y, v};
            break;
        case ORVANECAM_FORMAT_UYVY:
            pixel = {u, y, v, y};
            break;
        default:
            pixel = {colour.g};
            break;  // the planar ones fill their planes below
    }
    const bool pairs = format == ORVANECAM_FORMAT_YUY2 || format == ORVANECAM_FORMAT_UYVY;
    const std::int32_t rowBytes = side * static_cast<std::int32_t>(pixel.size()) / (pairs ? 2 : 1);
    stride = rowBytes + 6;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(stride) * side * 2, 0xEE);
    for (std::int32_t row = 0; row < side; ++row) {
        for (std::int32_t at = 0; at < rowBytes; ++at) {
            frame[static_cast<std::size_t>(row * stride + at)] = pixel[at % pixel.size()];
        }
    }
    std::uint8_t* chroma = frame.data() + static_cast<std::size_t>(stride) * side;
    if (format == ORVANECAM_FORMAT_NV12 || format == ORVANECAM_FORMAT_I420) {
        std::fill_n(frame.data(), static_cast<std::size_t>(stride) * side, y);
    }
    if (format == ORVANECAM_FORMAT_NV12) {
        for (std::int32_t row = 0; row < side / 2; ++row) {
            for (std::int32_t x = 0; x < side; x += 2) {
                chroma[row * stride + x] = u;
                chroma[row * stride + x + 1] = v;
            }
        }
    }
    if (format == ORVANECAM_FORMAT_I420) {
        const std::size_t plane = static_cast<std::size_t>(stride / 2) * (side / 2);
        std::fill_n(chroma, plane, u);
        std::fill_n(chroma + plane, plane, v);
    }
    return frame;
}

TEST_F(RgbFrameTest, EveryFormatOfSendFrameCarriesTheKnownColours) {
    const std::pair<std::int32_t, const char*> formats[] = {
        {ORVANECAM_FORMAT_NV12, "NV12"},   {ORVANECAM_FORMAT_YUY2, "YUY2"},
        {ORVANECAM_FORMAT_BGRA, "BGRA"},   {ORVANECAM_FORMAT_BGR24, "BGR24"},
        {ORVANECAM_FORMAT_RGB24, "RGB24"}, {ORVANECAM_FORMAT_RGBA, "RGBA"},
        {ORVANECAM_FORMAT_I420, "I420"},   {ORVANECAM_FORMAT_UYVY, "UYVY"},
    };
    for (const auto& [format, name] : formats) {
        for (const Colour& colour : kColours) {
            // At the output size (one pass), then from twice the size (scaled).
            for (const std::int32_t side : {kSide, 2 * kSide}) {
                std::int32_t stride = 0;
                const auto frame = FrameOf(format, colour, side, stride);
                ASSERT_EQ(SendFrame(format, frame.data(), side, side, stride), 0u) << name;
                ExpectColour(colour, name);
            }
        }
    }
    // Grey levels: full-range grey as limited-range luma, no colour.
    for (const Colour& colour : kColours) {
        if (colour.r != colour.g || colour.g != colour.b) continue;
        std::int32_t stride = 0;
        const auto frame = FrameOf(ORVANECAM_FORMAT_GRAY8, colour, kSide, stride);
        ASSERT_EQ(SendFrame(ORVANECAM_FORMAT_GRAY8, frame.data(), kSide, kSide, stride), 0u);
        ExpectColour(colour, "GRAY8");
    }
}

TEST_F(RgbFrameTest, SendFrameRefusesUnknownFormatsAndBadLayouts) {
    std::int32_t stride = 0;
    const auto frame = FrameOf(ORVANECAM_FORMAT_RGBA, kColours[0], kSide, stride);
    for (const std::int32_t unknown : {0, 10, -1}) {
        EXPECT_EQ(SendFrame(unknown, frame.data(), kSide, kSide, stride), 87u) << unknown;
    }
    EXPECT_EQ(SendFrame(ORVANECAM_FORMAT_GRAY8, frame.data(), kSide, -kSide, kSide), 87u);
    EXPECT_EQ(SendFrame(ORVANECAM_FORMAT_UYVY, frame.data(), kSide, -kSide, 2 * kSide), 87u);
    EXPECT_EQ(SendFrame(ORVANECAM_FORMAT_I420, frame.data(), kSide, kSide, kSide + 1), 13u);
    EXPECT_EQ(SendFrame(ORVANECAM_FORMAT_RGB24, frame.data(), kSide, kSide, 3 * kSide - 1), 13u);
    EXPECT_EQ(SendFrameForCamera(17, ORVANECAM_FORMAT_RGBA, frame.data(), kSide, kSide, stride),
              87u);
    // A bottom-up RGBA frame: stored red on top, blue below, shows blue on top.
    auto upsideDown = FrameOf(ORVANECAM_FORMAT_RGBA, kColours[0], kSide, stride);
    const auto blue = FrameOf(ORVANECAM_FORMAT_RGBA, kColours[2], kSide, stride);
    const std::size_t half = static_cast<std::size_t>(stride) * kSide / 2;
    std::copy(blue.begin() + half, blue.begin() + 2 * half, upsideDown.begin() + half);
    ASSERT_EQ(SendFrame(ORVANECAM_FORMAT_RGBA, upsideDown.data(), kSide, -kSide, stride), 0u);
    EXPECT_NEAR(Luma(0), kColours[2].y, 2);
    EXPECT_NEAR(Luma(kSide - 1), kColours[0].y, 2);
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
