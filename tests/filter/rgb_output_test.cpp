// Samples for clients that want RGB or planar YUV: bottom-up (or top-down) DIBs and I420 / IYUV
// frames with the producer's colours, letterboxed at a size that is not the producer's, and
// black without a producer.
#include <cstdlib>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "picture/pixel_formats.h"
#include "support/colour_quadrants.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

class RgbOutputTest : public FilterTest {
  protected:
    // Connects at width x 48 in format (at 128, the producer's 64 x 48 sits at x = 32 between
    // black bars).
    void Stream(picture::SampleFormat format, bool topDown, std::int32_t width = 128) {
        streaming::CMediaType type;
        filter::BuildVideoType({width, 48, 333333}, format, filter::FormatLayout::kVideoInfo, type);
        if (topDown) reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader.biHeight = -48;
        ASSERT_EQ(m_pin->QueryAccept(&type), S_OK);
        ASSERT_EQ(ConnectWith(&type), S_OK);
        ASSERT_EQ(m_filter->Run(0), S_OK);
    }
    // The first sample that shows the producer's picture (red at the top left, at x).
    std::vector<BYTE> LiveSample(const SampleLayout& layout, std::int32_t x = 40) {
        std::vector<BYTE> data;
        for (int tries = 0; tries < 100 && !Shows(data, layout, x, 8, kRed); ++tries) {
            m_sink->WaitForSamples(m_sink->ReceivedCount() + 1, kWaitMs);
            data = m_sink->LastSampleData();
        }
        return data;
    }
};

TEST_F(RgbOutputTest, TheProducersColoursArriveTheRightWayUpAndLetterboxed) {
    for (const auto format : {picture::SampleFormat::kRgb24, picture::SampleFormat::kRgb32}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::string(geometry::SampleFormatName(format)) +
                         (topDown ? " top-down" : " bottom-up"));
            Stream(format, topDown);
            const auto quadrants = ColourQuadrants(64, 48);
            ASSERT_TRUE(m_producer.PublishFrame(quadrants.data(), 64, 48));
            const SampleLayout layout{format, 128, topDown ? -48 : 48};
            const auto data = LiveSample(layout);
            ASSERT_EQ(data.size(), picture::FrameBytes({128, 48, format, topDown}));
            EXPECT_TRUE(Shows(data, layout, 40, 8, kRed));
            EXPECT_TRUE(Shows(data, layout, 88, 8, kGreen));
            EXPECT_TRUE(Shows(data, layout, 40, 40, kBlue));
            EXPECT_TRUE(Shows(data, layout, 88, 40, kWhite));
            EXPECT_TRUE(Shows(data, layout, 4, 20, kBlack));    // left bar
            EXPECT_TRUE(Shows(data, layout, 124, 20, kBlack));  // right bar
            TearDownCaptureGraph(m_filter, m_pin, m_sink);
            m_sink = nullptr;
            SetUp();
        }
    }
}

TEST_F(RgbOutputTest, PlanarYuvClientsGetThePictureAtItsOwnSizeOrLetterboxed) {
    const auto quadrants = ColourQuadrants(64, 48);
    for (const auto format : {picture::SampleFormat::kI420, picture::SampleFormat::kIyuv}) {
        for (const std::int32_t width : {64, 128}) {
            SCOPED_TRACE(std::string(geometry::SampleFormatName(format)) + " " +
                         std::to_string(width));
            Stream(format, false, width);
            ASSERT_TRUE(m_producer.PublishFrame(quadrants.data(), 64, 48));
            const std::int32_t left = (width - 64) / 2;
            const SampleLayout layout{format, width, 48};
            const auto data = LiveSample(layout, left + 8);
            ASSERT_EQ(data.size(), static_cast<std::size_t>(width) * 48 * 3 / 2);
            EXPECT_TRUE(Shows(data, layout, left + 8, 8, kRed));
            EXPECT_TRUE(Shows(data, layout, left + 56, 8, kGreen));
            EXPECT_TRUE(Shows(data, layout, left + 8, 40, kBlue));
            EXPECT_TRUE(Shows(data, layout, left + 56, 40, kWhite));
            EXPECT_TRUE(left == 0 || Shows(data, layout, 4, 20, kBlack));
            TearDownCaptureGraph(m_filter, m_pin, m_sink);
            m_sink = nullptr;
            SetUp();
        }
    }
}

TEST_F(RgbOutputTest, WithoutAProducerTheRgbPictureIsBlack) {
    Stream(picture::SampleFormat::kRgb24, false);
    ASSERT_GE(m_sink->WaitForSamples(2, kWaitMs), 2u);
    const auto data = m_sink->LastSampleData();
    ASSERT_EQ(data.size(), 128u * 3u * 48u);
    EXPECT_EQ(std::count(data.begin(), data.end(), 0), static_cast<std::ptrdiff_t>(data.size()));
}

}  // namespace
}  // namespace orvanecam::testing
