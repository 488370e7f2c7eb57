#include "picture/orientation.h"

#include <gtest/gtest.h>

#include "support/nv12_picture.h"

namespace orvanecam::picture {
namespace {

using testing::DistinctPicture;
using testing::Nv12Picture;

// Sides that differ and leave edges beside whole 8 x 8 and 16-byte blocks in every plane.
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

TEST(OrientationTest, MirrorTakesEachRowRightToLeft) {
    const Nv12Picture out = Oriented({true, false, 0});
    ASSERT_EQ(out.width, kW);
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) EXPECT_EQ(out.Y(x, y), kSource.Y(kW - 1 - x, y));
    }
    for (int y = 0; y < kH / 2; ++y) {
        for (int x = 0; x < kW / 2; ++x) {
            EXPECT_EQ(out.U(x, y), kSource.U(kW / 2 - 1 - x, y));
            EXPECT_EQ(out.V(x, y), kSource.V(kW / 2 - 1 - x, y));
        }
    }
}

TEST(OrientationTest, FlipTakesRowsBottomToTop) {
    const Nv12Picture out = Oriented({false, true, 0});
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) EXPECT_EQ(out.Y(x, y), kSource.Y(x, kH - 1 - y));
    }
    for (int y = 0; y < kH / 2; ++y) {
        for (int x = 0; x < kW / 2; ++x) {
            EXPECT_EQ(out.U(x, y), kSource.U(x, kH / 2 - 1 - y));
            EXPECT_EQ(out.V(x, y), kSource.V(x, kH / 2 - 1 - y));
        }
    }
}

TEST(OrientationTest, QuarterTurnPutsTheLeftColumnReadUpwardsOnTop) {
    const Nv12Picture out = Oriented({false, false, 1});
    ASSERT_EQ(out.width, kH);
    ASSERT_EQ(out.height, kW);
    // Source (row r, column c) lands at (row c, column H - 1 - r).
    for (int r = 0; r < kH; ++r) {
        for (int c = 0; c < kW; ++c) EXPECT_EQ(out.Y(kH - 1 - r, c), kSource.Y(c, r));
    }
    for (int r = 0; r < kH / 2; ++r) {
        for (int c = 0; c < kW / 2; ++c) {
            EXPECT_EQ(out.U(kH / 2 - 1 - r, c), kSource.U(c, r));
            EXPECT_EQ(out.V(kH / 2 - 1 - r, c), kSource.V(c, r));
        }
    }
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

}  // namespace
}  // namespace orvanecam::picture
