#include "picture/staging.h"

#include <gtest/gtest.h>

#include "support/nv12_picture.h"

namespace orvanecam::picture {
namespace {

using testing::DistinctPicture;

// What a submission writes into a frame of the target size.
std::vector<std::uint8_t> WrittenNv12(const std::uint8_t* source, std::int32_t width,
                                      std::int32_t height, std::int32_t stride,
                                      std::int32_t targetWidth, std::int32_t targetHeight) {
    StagingBuffers buffers;
    std::vector<std::uint8_t> frame(Yuv420Bytes(targetWidth & ~1, targetHeight & ~1));
    EXPECT_TRUE(WriteNv12Frame(buffers, source, width, height, stride, targetWidth, targetHeight,
                               frame.data()));
    return frame;
}

std::vector<std::uint8_t> WrittenYuy2(const std::uint8_t* source, std::int32_t width,
                                      std::int32_t height, std::int32_t targetWidth,
                                      std::int32_t targetHeight) {
    StagingBuffers buffers;
    std::vector<std::uint8_t> frame(Yuv420Bytes(targetWidth, targetHeight));
    EXPECT_TRUE(WritePackedFrame(buffers, PackedFormat::kYuy2, source, width, height, width * 2,
                                 targetWidth, targetHeight, frame.data()));
    return frame;
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
    const auto picture = DistinctPicture(16, 10);
    const auto padded = WithStride(picture, 24);
    EXPECT_EQ(WrittenNv12(padded.data(), 16, 10, 24, 16, 10), picture.bytes);
    // An odd target is made even: 17 x 11 is 16 x 10, so the same copy.
    EXPECT_EQ(WrittenNv12(padded.data(), 16, 10, 24, 17, 11), picture.bytes);
}

TEST(StagingTest, ScalingAUniformFrameGivesTheSameColourAtTheTarget) {
    // Saturated blue: its chroma is where a biased scaler shows most.
    const auto landscape = testing::UniformPicture(192, 108, 41, 240, 110);
    EXPECT_EQ(WrittenNv12(landscape.bytes.data(), 192, 108, 192, 108, 192),
              testing::UniformPicture(108, 192, 41, 240, 110).bytes);
    EXPECT_EQ(WrittenNv12(landscape.bytes.data(), 192, 108, 192, 300, 170),
              testing::UniformPicture(300, 170, 41, 240, 110).bytes);
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
    const auto staged = WrittenYuy2(yuy2.data(), width, height, width, height);
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
    EXPECT_EQ(WrittenYuy2(yuy2.data(), width, height, 4, 8).size(), Yuv420Bytes(4, 8));
}

TEST(StagingTest, UnusableFramesAndTargetsAreRefused) {
    const std::vector<std::uint8_t> frame(Yuy2Bytes(64, 64));
    const auto canWriteYuy2 = [](const std::uint8_t* source, std::int32_t width,
                                 std::int32_t height, std::int32_t stride, std::int32_t tw,
                                 std::int32_t th) {
        return CanWritePackedFrame(PackedFormat::kYuy2, source, width, height, stride, tw, th);
    };
    for (const auto canWrite : {CanWriteNv12Frame, +canWriteYuy2}) {
        EXPECT_FALSE(canWrite(nullptr, 16, 16, 32, 16, 16));
        EXPECT_FALSE(canWrite(frame.data(), 15, 16, 32, 16, 16));
        EXPECT_FALSE(canWrite(frame.data(), 16, 15, 32, 16, 16));
        EXPECT_FALSE(canWrite(frame.data(), 4098, 2, 8196, 16, 16));
        EXPECT_FALSE(canWrite(frame.data(), 16, 16, 32, 1, 16));
        EXPECT_FALSE(canWrite(frame.data(), 16, 16, 32, 16, 4097));
        EXPECT_FALSE(canWrite(frame.data(), 16, 16, 32, 0, 16));
    }
    EXPECT_FALSE(CanWriteNv12Frame(frame.data(), 16, 16, 15, 16, 16));
    EXPECT_TRUE(CanWriteNv12Frame(frame.data(), 16, 16, 16, 16, 16));
    EXPECT_FALSE(canWriteYuy2(frame.data(), 16, 16, 31, 16, 16));
    EXPECT_TRUE(canWriteYuy2(frame.data(), 16, 16, 32, 16, 16));
    // Only the RGB layouts come bottom-up.
    EXPECT_FALSE(canWriteYuy2(frame.data(), 16, -16, 32, 16, 16));
    EXPECT_TRUE(CanWritePackedFrame(PackedFormat::kBgra, frame.data(), 16, -16, 64, 16, 16));
}

}  // namespace
}  // namespace orvanecam::picture
