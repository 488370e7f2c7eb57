#include "picture/render.h"

#include <gtest/gtest.h>

#include "picture/letterbox.h"
#include "support/nv12_picture.h"

namespace orvanecam::picture {
namespace {

using testing::UniformPicture;

// A uniform picture keeps its exact values through scaling, and the bars are exact black.
::testing::AssertionResult Shows(std::uint8_t actual, bool inside, std::uint8_t picture,
                                 std::uint8_t black) {
    const int expected = inside ? picture : black;
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << int{actual} << " instead of " << expected;
}

TEST(LetterboxTest, FitKeepsTheAspectRatioCentredOnEvenCoordinates) {
    const FitRect portraitInLandscape = FitInside(1080, 1920, 1920, 1080);
    EXPECT_EQ(portraitInLandscape.x, 656);
    EXPECT_EQ(portraitInLandscape.y, 0);
    EXPECT_EQ(portraitInLandscape.width, 608);
    EXPECT_EQ(portraitInLandscape.height, 1080);

    const FitRect sameRatio = FitInside(1920, 1080, 1280, 720);
    EXPECT_EQ(sameRatio.x, 0);
    EXPECT_EQ(sameRatio.y, 0);
    EXPECT_EQ(sameRatio.width, 1280);
    EXPECT_EQ(sameRatio.height, 720);

    EXPECT_EQ(FitInside(4096, 2, 2, 4096).height, 0);
}

// Renders a uniform picture and checks each pixel against the fitted rectangle.
class RenderTest : public ::testing::Test {
  protected:
    static constexpr std::uint8_t kY = 200, kU = 60, kV = 190;

    std::vector<std::uint8_t> Render(std::int32_t sourceWidth, std::int32_t sourceHeight,
                                     const MediaFrame& media, std::size_t extraBytes = 0) {
        const auto source = UniformPicture(sourceWidth, sourceHeight, kY, kU, kV);
        std::vector<std::uint8_t> sample(FrameBytes(media) + extraBytes, 0xAB);
        RenderToSample(m_state, source.bytes.data(), sourceWidth, sourceHeight, {}, sample.data(),
                       sample.size(), media);
        return sample;
    }

    RenderState m_state;
};

TEST_F(RenderTest, Nv12SampleShowsThePictureBetweenBlackBars) {
    const MediaFrame media{1920, 1080, SampleFormat::kNv12};
    const auto sample = Render(1080, 1920, media);
    const std::size_t luma = LumaBytes(1920, 1080);
    for (int y = 0; y < 1080; y += 7) {
        for (int x = 0; x < 1920; ++x) {
            const bool inside = x >= 656 && x < 656 + 608;
            ASSERT_TRUE(
                Shows(sample[static_cast<std::size_t>(y * 1920 + x)], inside, kY, kBlackLuma))
                << x << "," << y;
            if (y % 2 == 0 && x % 2 == 0) {
                const std::size_t chroma = luma + static_cast<std::size_t>(y / 2 * 1920 + x);
                ASSERT_TRUE(Shows(sample[chroma], inside, kU, kBlackChroma)) << x << "," << y;
                ASSERT_TRUE(Shows(sample[chroma + 1], inside, kV, kBlackChroma)) << x << "," << y;
            }
        }
    }
}

TEST_F(RenderTest, Yuy2SampleShowsThePictureBetweenBlackBars) {
    const MediaFrame media{640, 480, SampleFormat::kYuy2};
    const auto sample = Render(480, 640, media);  // fits as 360 x 480 at x = 140
    for (int y = 0; y < 480; y += 5) {
        for (int pair = 0; pair < 320; ++pair) {
            const bool inside = pair * 2 >= 140 && pair * 2 < 140 + 360;
            const std::uint8_t* p = &sample[static_cast<std::size_t>(y * 1280 + pair * 4)];
            ASSERT_TRUE(Shows(p[0], inside, kY, kBlackLuma)) << pair << "," << y;
            ASSERT_TRUE(Shows(p[1], inside, kU, kBlackChroma)) << pair << "," << y;
            ASSERT_TRUE(Shows(p[2], inside, kY, kBlackLuma)) << pair << "," << y;
            ASSERT_TRUE(Shows(p[3], inside, kV, kBlackChroma)) << pair << "," << y;
        }
    }
}

TEST_F(RenderTest, BytesPastTheFrameAreZeroedAndTooSmallSamplesAreLeftAlone) {
    const MediaFrame media{64, 48, SampleFormat::kNv12};
    const auto larger = Render(64, 48, media, 100);
    for (std::size_t i = FrameBytes(media); i < larger.size(); ++i) ASSERT_EQ(larger[i], 0);
    EXPECT_EQ(larger[0], kY);

    const auto source = UniformPicture(64, 48, kY, kU, kV);
    std::vector<std::uint8_t> small(FrameBytes(media) - 1, 0xAB);
    RenderToSample(m_state, source.bytes.data(), 64, 48, {}, small.data(), small.size(), media);
    EXPECT_EQ(small, std::vector<std::uint8_t>(small.size(), 0xAB));

    std::vector<std::uint8_t> sample(FrameBytes({63, 48, SampleFormat::kNv12}) + 64, 0xAB);
    RenderToSample(m_state, source.bytes.data(), 64, 48, {}, sample.data(), sample.size(),
                   {63, 48, SampleFormat::kNv12});
    EXPECT_EQ(sample, std::vector<std::uint8_t>(sample.size(), 0xAB));
}

TEST_F(RenderTest, UnreadableOrExtremeSourcesRenderBlack) {
    const MediaFrame media{64, 48, SampleFormat::kYuy2};
    const auto black = [&] {
        std::vector<std::uint8_t> frame(FrameBytes(media));
        for (std::size_t i = 0; i < frame.size(); i += 2) {
            frame[i] = kBlackLuma;
            frame[i + 1] = kBlackChroma;
        }
        return frame;
    }();
    EXPECT_EQ(Render(63, 48, media), black);  // odd width cannot be scaled safely
    EXPECT_EQ(Render(4096, 2, {2, 4096, SampleFormat::kNv12}), [] {
        std::vector<std::uint8_t> frame(Yuv420Bytes(2, 4096), kBlackChroma);
        std::fill_n(frame.begin(), LumaBytes(2, 4096), kBlackLuma);
        return frame;
    }());
    std::vector<std::uint8_t> sample(FrameBytes(media));
    RenderToSample(m_state, nullptr, 64, 48, {}, sample.data(), sample.size(), media);
    EXPECT_EQ(sample, black);
}

TEST_F(RenderTest, OrientationIsAppliedBeforeFitting) {
    // A 4 x 2 picture: left half dark, right half bright. Mirrored, the bright half comes first.
    testing::Nv12Picture source = UniformPicture(4, 2, 50, 128, 128);
    source.bytes[2] = source.bytes[3] = source.bytes[6] = source.bytes[7] = 250;
    std::vector<std::uint8_t> sample(Yuv420Bytes(4, 2));
    RenderToSample(m_state, source.bytes.data(), 4, 2, {true, false, 0}, sample.data(),
                   sample.size(), {4, 2, SampleFormat::kNv12});
    EXPECT_EQ(sample[0], 250);
    EXPECT_EQ(sample[3], 50);
}

}  // namespace
}  // namespace orvanecam::picture
