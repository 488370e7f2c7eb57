// The live schedule in simulated time: the offered rate whatever the producer does, no bursts,
// dropped slots when late, and new frames sent as they arrive when the producer keeps the rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "filter/live_schedule.h"

namespace orvanecam::testing {
namespace {

using filter::LiveSchedule;

constexpr std::int64_t kInterval = 333333;
constexpr std::int64_t kTenSeconds = 100000000;

struct Delivery {
    std::int64_t time;
    std::int64_t frameArrival;  // of the newest frame shown, or -1 for a repeat
};

// Plays the stream loop against a producer whose frames arrive every period from phase on (no
// producer when period is 0), for ten simulated seconds.
std::vector<Delivery> Simulate(std::int64_t period, std::int64_t phase) {
    LiveSchedule schedule;
    schedule.Start(0, kInterval);
    std::vector<Delivery> deliveries;
    std::int64_t now = 0;
    std::int64_t shown = -1;  // index of the last frame shown
    const auto latestBy = [&](std::int64_t time) {
        return period == 0 || time < phase ? -1 : (time - phase) / period;
    };
    while (now < kTenSeconds) {
        const LiveSchedule::Slot slot = schedule.Next(now);
        now = std::max(now, slot.opens);
        bool arrived = false;
        if (latestBy(now) == shown) {
            const std::int64_t next = period == 0 ? slot.due + 1 : phase + (shown + 1) * period;
            if (period == 0) {
                now = std::max(now, slot.due);
            } else if (next <= slot.closes) {
                now = std::max(now, next);
                arrived = true;
            } else {
                now = std::max(now, slot.closes);
            }
        }
        const std::int64_t frame = latestBy(now);
        deliveries.push_back({now, frame != shown ? phase + frame * period : -1});
        shown = frame;
        schedule.Delivered(slot, now, arrived);
    }
    return deliveries;
}

void ExpectOfferedRateWithoutBursts(const std::vector<Delivery>& deliveries) {
    EXPECT_NEAR(static_cast<double>(deliveries.size()), 300.0, 3.0);
    for (std::size_t i = 1; i < deliveries.size(); ++i) {
        ASSERT_GE(deliveries[i].time - deliveries[i - 1].time, kInterval / 2) << i;
    }
}

TEST(LiveScheduleTest, WithoutAProducerSamplesLeaveExactlyOnTheSchedule) {
    const auto deliveries = Simulate(0, 0);
    ExpectOfferedRateWithoutBursts(deliveries);
    for (std::size_t i = 0; i < deliveries.size(); ++i) {
        ASSERT_EQ(deliveries[i].time, static_cast<std::int64_t>(i) * kInterval);
    }
}

TEST(LiveScheduleTest, AProducerAtTheOfferedRateHasEachFrameSentAsItArrives) {
    for (const std::int64_t phase : {kInterval / 10, kInterval * 3 / 10, kInterval * 7 / 10}) {
        const auto deliveries = Simulate(kInterval, phase);
        ExpectOfferedRateWithoutBursts(deliveries);
        // Once the phase is found every sample carries a new frame, sent within a millisecond.
        for (std::size_t i = deliveries.size() - 100; i < deliveries.size(); ++i) {
            ASSERT_GE(deliveries[i].frameArrival, 0) << phase;
            ASSERT_LE(deliveries[i].time - deliveries[i].frameArrival, 10000) << phase;
        }
    }
}

TEST(LiveScheduleTest, SlowerOrFasterProducersDoNotChangeTheRate) {
    for (const std::int64_t period : {400000LL, 350000LL, 320000LL, 166666LL, 1000000LL}) {
        SCOPED_TRACE(period);
        ExpectOfferedRateWithoutBursts(Simulate(period, kInterval / 4));
    }
}

TEST(LiveScheduleTest, ALateStreamDropsTheSlotsItMissedInsteadOfBursting) {
    LiveSchedule schedule;
    schedule.Start(0, kInterval);
    LiveSchedule::Slot slot = schedule.Next(0);
    schedule.Delivered(slot, 0, false);
    // The downstream filter held the sample for five intervals.
    const std::int64_t late = 5 * kInterval + 1000;
    slot = schedule.Next(late);
    EXPECT_EQ(slot.index, 5);
    EXPECT_EQ(schedule.DroppedCount(), 4);
    schedule.Delivered(slot, std::max(late, slot.opens), false);
    const LiveSchedule::Slot next = schedule.Next(late);
    EXPECT_GE(next.opens, late + kInterval / 2);
    EXPECT_EQ(schedule.DeliveredCount(), 2);
}

TEST(LiveScheduleTest, ASlotWhoseSampleCouldNotLeaveIsNotOfferedAgainAtOnce) {
    LiveSchedule schedule;
    schedule.Start(0, kInterval);
    const LiveSchedule::Slot first = schedule.Next(0);
    schedule.Missed(first);
    const LiveSchedule::Slot next = schedule.Next(1000);
    EXPECT_EQ(next.index, first.index + 1);
    EXPECT_GE(next.opens, kInterval / 2);
    EXPECT_EQ(schedule.DroppedCount(), 1);
    EXPECT_EQ(schedule.DeliveredCount(), 0);
}

}  // namespace
}  // namespace orvanecam::testing
