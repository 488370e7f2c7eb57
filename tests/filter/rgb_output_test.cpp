// Samples for clients that want RGB: bottom-up (or top-down) DIBs with the producer's colours,
// letterboxed at a size that is not the producer's, and black without a producer.
#include <cstdlib>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "picture/pixel_formats.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

struct Colour {
    std::uint8_t r, g, b;
    std::uint8_t y, u, v;  // BT.601 limited range
};
constexpr Colour kRed{255, 0, 0, 82, 90, 240};
constexpr Colour kGreen{0, 255, 0, 145, 54, 34};
constexpr Colour kBlue{0, 0, 255, 41, 240, 110};
constexpr Colour kWhite{255, 255, 255, 235, 128, 128};

// 64 x 48: red, green / blue, white quadrants.
std::vector<std::uint8_t> Quadrants() {
    constexpr int kW = 64, kH = 48;
    std::vector<std::uint8_t> nv12(picture::Yuv420Bytes(kW, kH));
    const auto at = [](int x, int y) {
        return y < kH / 2 ? (x < kW / 2 ? kRed : kGreen) : (x < kW / 2 ? kBlue : kWhite);
    };
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) nv12[static_cast<std::size_t>(y * kW + x)] = at(x, y).y;
    }
    for (int y = 0; y < kH / 2; ++y) {
        for (int x = 0; x < kW / 2; ++x) {
            const Colour c = at(2 * x, 2 * y);
            nv12[static_cast<std::size_t>(kW * kH + y * kW + 2 * x)] = c.u;
            nv12[static_cast<std::size_t>(kW * kH + y * kW + 2 * x + 1)] = c.v;
        }
    }
    return nv12;
}

class RgbOutputTest : public FilterTest {
  protected:
    // Connects at 128 x 48 in format (the producer's 64 x 48 sits at x = 32 between black bars).
    void Stream(picture::SampleFormat format, bool topDown) {
        streaming::CMediaType type;
        filter::BuildVideoType({128, 48, 333333}, format, filter::FormatLayout::kVideoInfo, type);
        if (topDown) reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader.biHeight = -48;
        ASSERT_EQ(m_pin->QueryAccept(&type), S_OK);
        ASSERT_EQ(ConnectWith(&type), S_OK);
        ASSERT_EQ(m_filter->Run(0), S_OK);
    }
    // The first sample that shows the producer's picture (red at the top left).
    std::vector<BYTE> LiveSample(picture::SampleFormat format, bool topDown) {
        std::vector<BYTE> data;
        for (int tries = 0; tries < 100; ++tries) {
            m_sink->WaitForSamples(m_sink->ReceivedCount() + 1, kWaitMs);
            data = m_sink->LastSampleData();
            if (data.size() == picture::FrameBytes({128, 48, format, topDown}) &&
                Pixel(data, format, topDown, 40, 8)[2] > 200) {
                break;
            }
        }
        return data;
    }
    // The pixel at picture row y (from the top) and column x of a sample of the format.
    static const BYTE* Pixel(const std::vector<BYTE>& data, picture::SampleFormat format,
                             bool topDown, int x, int y) {
        const picture::MediaFrame media{128, 48, format, topDown};
        const std::size_t stride = picture::RgbStride(media);
        const int row = topDown ? y : 47 - y;
        return data.data() + static_cast<std::size_t>(row) * stride +
               static_cast<std::size_t>(x) * (format == picture::SampleFormat::kRgb32 ? 4 : 3);
    }
    static void ExpectColour(const BYTE* pixel, std::uint8_t r, std::uint8_t g, std::uint8_t b,
                             const char* where) {
        EXPECT_LE(std::abs(pixel[2] - r), 3) << where;
        EXPECT_LE(std::abs(pixel[1] - g), 3) << where;
        EXPECT_LE(std::abs(pixel[0] - b), 3) << where;
    }
};

TEST_F(RgbOutputTest, TheProducersColoursArriveTheRightWayUpAndLetterboxed) {
    for (const auto format : {picture::SampleFormat::kRgb24, picture::SampleFormat::kRgb32}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::string(filter::SampleFormatName(format)) +
                         (topDown ? " top-down" : " bottom-up"));
            Stream(format, topDown);
            const auto quadrants = Quadrants();
            ASSERT_TRUE(m_producer.PublishFrame(quadrants.data(), 64, 48));
            const auto data = LiveSample(format, topDown);
            ASSERT_EQ(data.size(), picture::FrameBytes({128, 48, format, topDown}));
            ExpectColour(Pixel(data, format, topDown, 40, 8), kRed.r, kRed.g, kRed.b, "red");
            ExpectColour(Pixel(data, format, topDown, 88, 8), kGreen.r, kGreen.g, kGreen.b,
                         "green");
            ExpectColour(Pixel(data, format, topDown, 40, 40), kBlue.r, kBlue.g, kBlue.b, "blue");
            ExpectColour(Pixel(data, format, topDown, 88, 40), kWhite.r, kWhite.g, kWhite.b,
                         "white");
            ExpectColour(Pixel(data, format, topDown, 4, 20), 0, 0, 0, "left bar");
            ExpectColour(Pixel(data, format, topDown, 124, 20), 0, 0, 0, "right bar");
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
