#include "picture/staging.h"

#include <gtest/gtest.h>

#include "support/nv12_picture.h"

namespace orvanecam::picture {
namespace {

using testing::DistinctPicture;

std::vector<std::uint8_t> Staged(StagingBuffers& buffers, std::int32_t width, std::int32_t height) {
    const std::uint8_t* data = buffers.stagingFrame.Data();
    return {data, data + Yuv420Bytes(width, height)};
}

// The picture with stride - width junk bytes after every row of both planes.
std::vector<std::uint8_t> WithStride(const testing::Nv12Picture& picture, std::int32_t stride) {
    std::vector<std::uint8_t> padded(static_cast<std::size_t>(stride) * picture.height * 3 / 2,
                                     0xEE);
    for (std::int32_t row = 0; row < picture.height * 3 / 2; ++row) {
        std::copy_n(&picture.bytes[static_cast<std::size_t>(row * picture.width)], picture.width,
                    &padded[static_cast<std::size_t>(row * stride)]);
    }
    return padded;
}

TEST(StagingTest, SameSizeNv12IsCopiedExactlyHonouringTheStride) {
    StagingBuffers buffers;
    const auto picture = DistinctPicture(16, 10);
    const auto padded = WithStride(picture, 24);
    ASSERT_TRUE(StageNv12Frame(buffers, padded.data(), 16, 10, 24, 16, 10));
    EXPECT_EQ(Staged(buffers, 16, 10), picture.bytes);
    // An odd target is made even: 17 x 11 is 16 x 10, so the same copy.
    ASSERT_TRUE(StageNv12Frame(buffers, padded.data(), 16, 10, 24, 17, 11));
    EXPECT_EQ(Staged(buffers, 16, 10), picture.bytes);
}

TEST(StagingTest, ScalingAUniformFrameGivesTheSameColourAtTheTarget) {
    StagingBuffers buffers;
    const auto landscape = testing::UniformPicture(192, 108, 100, 50, 200);
    ASSERT_TRUE(StageNv12Frame(buffers, landscape.bytes.data(), 192, 108, 192, 108, 192));
    const auto staged = Staged(buffers, 108, 192);
    const auto expected = testing::UniformPicture(108, 192, 100, 50, 200).bytes;
    // Bilinear chroma scaling may round by a step or two.
    for (std::size_t i = 0; i < staged.size(); ++i) {
        ASSERT_NEAR(staged[i], expected[i], i < LumaBytes(108, 192) ? 0 : 2) << i;
    }
}

TEST(StagingTest, Yuy2IsConvertedAndScaled) {
    // Luma differs per pixel, chroma per row pair: the conversion keeps both exactly.
    const std::int32_t width = 8, height = 4;
    std::vector<std::uint8_t> yuy2(static_cast<std::size_t>(width * 2 * height));
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t pair = 0; pair < width / 2; ++pair) {
            std::uint8_t* p = &yuy2[static_cast<std::size_t>(y * width * 2 + pair * 4)];
            p[0] = static_cast<std::uint8_t>(y * 10 + pair * 2);
            p[1] = static_cast<std::uint8_t>(60 + y / 2 * 8 + pair);
            p[2] = static_cast<std::uint8_t>(y * 10 + pair * 2 + 1);
            p[3] = static_cast<std::uint8_t>(160 + y / 2 * 8 + pair);
        }
    }
    StagingBuffers buffers;
    ASSERT_TRUE(StageYuy2Frame(buffers, yuy2.data(), width, height, width * 2, width, height));
    const auto staged = Staged(buffers, width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            EXPECT_EQ(staged[static_cast<std::size_t>(y * width + x)], y * 10 + x);
        }
    }
    for (std::int32_t y = 0; y < height / 2; ++y) {
        for (std::int32_t pair = 0; pair < width / 2; ++pair) {
            const std::size_t at = static_cast<std::size_t>(width * height + y * width + pair * 2);
            EXPECT_EQ(staged[at], 60 + y * 8 + pair);
            EXPECT_EQ(staged[at + 1], 160 + y * 8 + pair);
        }
    }
    ASSERT_TRUE(StageYuy2Frame(buffers, yuy2.data(), width, height, width * 2, 4, 8));
}

TEST(StagingTest, UnusableFramesAndTargetsAreRefused) {
    StagingBuffers buffers;
    const std::vector<std::uint8_t> frame(Yuy2Bytes(64, 64));
    for (const auto stage : {StageNv12Frame, StageYuy2Frame}) {
        EXPECT_FALSE(stage(buffers, nullptr, 16, 16, 32, 16, 16));
        EXPECT_FALSE(stage(buffers, frame.data(), 15, 16, 32, 16, 16));
        EXPECT_FALSE(stage(buffers, frame.data(), 16, 15, 32, 16, 16));
        EXPECT_FALSE(stage(buffers, frame.data(), 4098, 2, 8196, 16, 16));
        EXPECT_FALSE(stage(buffers, frame.data(), 16, 16, 32, 1, 16));
        EXPECT_FALSE(stage(buffers, frame.data(), 16, 16, 32, 16, 4097));
        EXPECT_FALSE(stage(buffers, frame.data(), 16, 16, 32, 0, 16));
    }
    EXPECT_FALSE(StageNv12Frame(buffers, frame.data(), 16, 16, 15, 16, 16));
    EXPECT_TRUE(StageNv12Frame(buffers, frame.data(), 16, 16, 16, 16, 16));
    EXPECT_FALSE(StageYuy2Frame(buffers, frame.data(), 16, 16, 31, 16, 16));
    EXPECT_TRUE(StageYuy2Frame(buffers, frame.data(), 16, 16, 32, 16, 16));
}

}  // namespace
}  // namespace orvanecam::picture
