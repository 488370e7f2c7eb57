// The playback timeline: exact times for frames without timestamps, and broken timestamps that
// neither stall nor rush the producer.
#include "playback/playback_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvanecam::playback {
namespace {

constexpr AVRational kNtsc{30000, 1001};

TEST(PlaybackClockTest, FramesWithoutTimestampsAreTimedFromTheirIndexExactly) {
    // 29.97 fps: a rounded 33 ms per frame would put frame 3000 at 99,000 ms, 1.1% early.
    EXPECT_EQ(FrameTimeMs(AV_NOPTS_VALUE, {1, 90000}, kNtsc, 3000), 100100);
    EXPECT_EQ(FrameTimeMs(AV_NOPTS_VALUE, {1, 90000}, {0, 1}, 10), 330);
    EXPECT_EQ(FrameTimeMs(900000, {1, 90000}, kNtsc, 7), 10000);  // a timestamp wins
    EXPECT_EQ(FrameIntervalMs(kNtsc), 33);
    EXPECT_EQ(FrameIntervalMs({0, 0}), 33);
}

std::vector<std::uint64_t> DueTicks(const std::vector<std::int64_t>& times) {
    PlaybackClock clock;
    clock.startTick = 1000;
    std::vector<std::uint64_t> due;
    for (const std::int64_t time : times) due.push_back(DueTick(clock, time, 40) - 1000);
    return due;
}

TEST(PlaybackClockTest, OrdinaryGapsAreKeptAndBrokenTimestampsRebaseTheTimeline) {
    // Starting anywhere, a pause of half a second stays a pause.
    EXPECT_EQ(DueTicks({5000, 5040, 5080, 5580, 5620}),
              (std::vector<std::uint64_t>{0, 40, 80, 580, 620}));
    // An hour's jump forward, and a jump back, go on one interval after the previous frame.
    EXPECT_EQ(DueTicks({0, 40, 80, 3600000, 3600040, 120, 160}),
              (std::vector<std::uint64_t>{0, 40, 80, 120, 160, 200, 240}));
    // A timestamp a little behind the previous one is simply due at once, without a re-base.
    EXPECT_EQ(DueTicks({0, 40, 80, 70, 120}), (std::vector<std::uint64_t>{0, 40, 80, 70, 120}));
}

}  // namespace
}  // namespace orvanecam::playback
