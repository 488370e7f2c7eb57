#include "picture/orientation.h"

#include <gtest/gtest.h>
#include <libyuv.h>

#include <random>
#include <vector>

#include "picture/pixel_formats.h"
#include "support/nv12_picture.h"

namespace orvanecam::picture {
namespace {

using testing::DistinctPicture;
using testing::Nv12Picture;

// Sides that differ and leave edges beside whole 8 x 8 and 16-byte blocks in every plane. What
// each transform does is held to libyuv's over a size matrix below; these cases hold how the
// settings combine.
constexpr int kW = 20;
constexpr int kH = 18;
const Nv12Picture kSource = DistinctPicture(kW, kH);

Nv12Picture Oriented(const Orientation& orientation) {
    OrientationBuffers buffers;
    OrientedPicture result{};
    EXPECT_TRUE(ApplyOrientation(buffers, kSource.bytes.data(), kSource.width, kSource.height,
                                 orientation, result));
    Nv12Picture picture{result.width, result.height, {}};
    picture.bytes.assign(result.data, result.data + Yuv420Bytes(result.width, result.height));
    return picture;
}

TEST(OrientationTest, OnlyTheLowTwoRotationBitsCountAndHalfTurnIsMirrorPlusFlip) {
    EXPECT_EQ(Oriented({false, false, 5}).bytes, Oriented({false, false, 1}).bytes);
    EXPECT_EQ(Oriented({true, true, 0}).bytes, Oriented({false, false, 2}).bytes);
    const Nv12Picture fullTurn = Oriented({false, false, 4});
    EXPECT_EQ(fullTurn.bytes, kSource.bytes);
    // Mirror comes before the turns: mirror then a quarter turn is flip then three turns.
    EXPECT_EQ(Oriented({true, false, 1}).bytes, Oriented({false, true, 3}).bytes);
}

TEST(OrientationTest, IdentityPassesTheSourceThroughAndBadPicturesAreRefused) {
    OrientationBuffers buffers;
    OrientedPicture result{};
    EXPECT_TRUE(ApplyOrientation(buffers, kSource.bytes.data(), kW, kH, {}, result));
    EXPECT_EQ(result.data, kSource.bytes.data());

    const std::vector<std::uint8_t> odd(Yuv420Bytes(8, 6));
    EXPECT_FALSE(ApplyOrientation(buffers, odd.data(), 7, 6, {true, false, 0}, result));
    EXPECT_EQ(result.data, odd.data());
    EXPECT_EQ(result.width, 7);
    EXPECT_FALSE(ApplyOrientation(buffers, nullptr, 8, 6, {true, false, 0}, result));
    EXPECT_FALSE(ApplyOrientation(buffers, odd.data(), 8, 0, {true, false, 0}, result));
}

// libyuv's own transforms, the reference the block paths are held to: NV12 to I420, the
// transform, back to NV12.
std::vector<std::uint8_t> Reference(const std::vector<std::uint8_t>& nv12, int width, int height,
                                    const Orientation& orientation) {
    std::vector<std::uint8_t> planes(Yuv420Bytes(width, height));
    const I420Planes in = I420PlanesOf(planes.data(), width, height);
    libyuv::NV12ToI420(nv12.data(), width, nv12.data() + LumaBytes(width, height), width, in.y,
                       in.lumaStride, in.u, in.chromaStride, in.v, in.chromaStride, width, height);
    const bool turn = orientation.rotation == 1;
    const int outWidth = turn ? height : width;
    const int outHeight = turn ? width : height;
    std::vector<std::uint8_t> transformed(planes.size());
    const I420Planes out = I420PlanesOf(transformed.data(), outWidth, outHeight);
    if (orientation.mirror) {
        libyuv::I420Mirror(in.y, in.lumaStride, in.u, in.chromaStride, in.v, in.chromaStride, out.y,
                           out.lumaStride, out.u, out.chromaStride, out.v, out.chromaStride, width,
                           height);
    } else if (orientation.flip) {
        libyuv::I420Copy(in.y, in.lumaStride, in.u, in.chromaStride, in.v, in.chromaStride, out.y,
                         out.lumaStride, out.u, out.chromaStride, out.v, out.chromaStride, width,
                         -height);
    } else {
        libyuv::I420Rotate(in.y, in.lumaStride, in.u, in.chromaStride, in.v, in.chromaStride, out.y,
                           out.lumaStride, out.u, out.chromaStride, out.v, out.chromaStride, width,
                           height, libyuv::kRotate90);
    }
    std::vector<std::uint8_t> result(planes.size());
    libyuv::I420ToNV12(out.y, out.lumaStride, out.u, out.chromaStride, out.v, out.chromaStride,
                       result.data(), outWidth, result.data() + LumaBytes(outWidth, outHeight),
                       outWidth, outWidth, outHeight);
    return result;
}

TEST(OrientationTest, BlockPathsMatchLibyuvOverASizeMatrix) {
    std::vector<std::pair<int, int>> sizes;
    for (const int width : {2, 8, 18, 62, 64, 66, 130}) {
        for (const int height : {2, 8, 18, 62, 64, 66, 130}) sizes.emplace_back(width, height);
    }
    sizes.emplace_back(1080, 1920);
    sizes.emplace_back(1920, 1080);
    std::mt19937 random(7);
    OrientationBuffers buffers;
    for (const auto& [width, height] : sizes) {
        std::vector<std::uint8_t> source(Yuv420Bytes(width, height));
        for (auto& byte : source) byte = static_cast<std::uint8_t>(random());
        for (const Orientation orientation :
             {Orientation{true, false, 0}, Orientation{false, true, 0},
              Orientation{false, false, 1}}) {
            OrientedPicture result{};
            ASSERT_TRUE(
                ApplyOrientation(buffers, source.data(), width, height, orientation, result));
            const auto expected = Reference(source, width, height, orientation);
            ASSERT_TRUE(std::equal(expected.begin(), expected.end(), result.data))
                << width << " x " << height << " mirror " << orientation.mirror << " flip "
                << orientation.flip << " turns " << orientation.rotation;
        }
    }
}

}  // namespace
}  // namespace orvanecam::picture
