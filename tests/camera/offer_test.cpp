// The offer and the choice rules as values: what each front end lists and accepts.
#include <gtest/gtest.h>

#include <vector>

#include "camera/offer.h"

namespace orvanecam::testing {
namespace {

using camera::Choice;
using picture::SampleFormat;

TEST(OfferTest, TheProducersSizeComesFirstThenTheCommonSizesAtItsRate) {
    const struct {
        exchange::OutputSettings settings;
        std::vector<exchange::FrameSize> sizes;
        std::int32_t fps;
        SampleFormat preferred;
    } table[] = {
        {{1080, 1920, 30, 1u},
         {{1080, 1920}, {1920, 1080}, {1280, 720}, {640, 480}, {320, 240}},
         30,
         SampleFormat::kNv12},
        // A common size is not offered twice; odd sides are made even; any order but 0 is NV12.
        {{1281, 721, 60, 0u},
         {{1280, 720}, {1920, 1080}, {640, 480}, {320, 240}},
         60,
         SampleFormat::kYuy2},
        // Bad values are taken as the defaults, rates clamped to 1..120.
        {{5000, 720, 500, 7u},
         {{1080, 1920}, {1920, 1080}, {1280, 720}, {640, 480}, {320, 240}},
         120,
         SampleFormat::kNv12},
        {{1, 720, 0, 1u},
         {{1080, 1920}, {1920, 1080}, {1280, 720}, {640, 480}, {320, 240}},
         30,
         SampleFormat::kNv12},
    };
    for (const auto& row : table) {
        const camera::Offer offer(row.settings);
        SCOPED_TRACE(row.settings.width);
        ASSERT_EQ(offer.SizeCount(), static_cast<int>(row.sizes.size()));
        EXPECT_EQ(offer.FramesPerSecond(), row.fps);
        const std::vector<Choice> choices = offer.YuvChoices();
        ASSERT_EQ(choices.size(), row.sizes.size() * 2);
        for (std::size_t i = 0; i < choices.size(); ++i) {
            const exchange::FrameSize& size = row.sizes[i % row.sizes.size()];
            const bool preferred = i < row.sizes.size();
            const SampleFormat other =
                row.preferred == SampleFormat::kNv12 ? SampleFormat::kYuy2 : SampleFormat::kNv12;
            EXPECT_EQ(choices[i],
                      (Choice{{size.width, size.height, preferred ? row.preferred : other},
                              platform::kUnitsPerSecond / row.fps}))
                << i;
        }
    }
}

TEST(OfferTest, EveryFrontEndsChoiceFollowsTheSameRules) {
    constexpr std::int64_t k30 = 333333;
    const struct {
        SampleFormat format;
        std::int64_t width;
        std::int64_t height;
        bool topDown;
        std::int64_t interval;
        bool anyRate;
        bool accepted;
    } table[] = {
        {SampleFormat::kNv12, 640, 480, false, k30, false, true},
        {SampleFormat::kNv12, 2, 2, false, 83333, false, true},
        {SampleFormat::kNv12, 4096, 4096, false, 10000000, false, true},
        {SampleFormat::kNv12, 4098, 480, false, k30, false, false},
        {SampleFormat::kNv12, 641, 480, false, k30, false, false},  // odd width
        {SampleFormat::kNv12, 640, 481, false, k30, false, false},  // odd height
        {SampleFormat::kYuy2, 640, 481, false, k30, false, true},   // YUY2 pairs along rows only
        {SampleFormat::kRgb24, 640, 481, true, k30, false, false},
        {SampleFormat::kNv12, 0, 480, false, k30, false, false},
        {SampleFormat::kNv12, 1LL << 31, 480, false, k30, false, false},
        {SampleFormat::kNv12, 640, 480, false, 83332, false, false},  // above 120 fps
        {SampleFormat::kNv12, 640, 480, false, 10000001, false, false},
        {SampleFormat::kNv12, 640, 480, false, 0, false, false},
        {SampleFormat::kNv12, 640, 480, false, 0, true, true},  // a client leaving the rate open
        {SampleFormat::kNv12, 640, 480, false, -1, true, false},
    };
    for (const auto& row : table) {
        const auto choice = camera::CheckChoice(row.format, row.width, row.height, row.topDown,
                                                row.interval, row.anyRate);
        EXPECT_EQ(choice.has_value(), row.accepted)
            << geometry::SampleFormatName(row.format) << " " << row.width << "x" << row.height
            << " @" << row.interval;
    }
    // Top-down applies to RGB alone.
    EXPECT_TRUE(camera::CheckChoice(SampleFormat::kRgb32, 8, 8, true, k30)->media.topDown);
    EXPECT_FALSE(camera::CheckChoice(SampleFormat::kNv12, 8, 8, true, k30)->media.topDown);
    // Rates as fractions: 120, 30000/1001 and 1 fps in range; none for 0 or a zero denominator.
    EXPECT_EQ(camera::IntervalOfRate(120, 1), 83333);
    EXPECT_EQ(camera::IntervalOfRate(30000, 1001), 333666);
    EXPECT_EQ(camera::IntervalOfRate(1, 1), 10000000);
    EXPECT_EQ(camera::IntervalOfRate(0, 1), 0);
    EXPECT_EQ(camera::IntervalOfRate(30, 0), 0);
}

}  // namespace
}  // namespace orvanecam::testing
