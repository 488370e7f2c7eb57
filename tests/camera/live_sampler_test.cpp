// The live sampler in simulated time, as every front end drives it: the offered rate whatever the
// producer does, no bursts, new frames sent as they arrive, dropped slots when late, and a slot
// without a buffer recorded as missed so the next comes at its own time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "camera/live_sampler.h"

namespace orvanecam::testing {
namespace {

using camera::LiveSchedule;

constexpr std::int64_t kInterval = 333333;
constexpr std::int64_t kTenSeconds = 100000000;
const picture::MediaFrame kMedia{2, 2, picture::SampleFormat::kNv12};

class SimulatedClock final : public camera::Clock {
  public:
    std::int64_t Now() override { return now; }
    void SleepUntil(std::int64_t deadline) override { now = std::max(now, deadline); }
    std::int64_t now = 0;
};

struct Delivery {
    std::int64_t time;
    std::int64_t frameArrival;  // of the newest frame shown, or -1 for a repeat or vacant
};

// A producer whose frames arrive every period from phase on (none when period is 0).
class SimulatedProducer final : public camera::FrameFeed {
  public:
    SimulatedProducer(SimulatedClock& clock, std::int64_t period, std::int64_t phase)
        : m_clock(clock), m_period(period), m_phase(phase) {}

    void Restart() override { m_shown = LatestBy(m_clock.now); }
    bool DecideLive() override { return m_period != 0; }
    bool HasNewFrame() const override { return LatestBy(m_clock.now) != m_shown; }
    bool WaitForNewFrame(std::int64_t deadline) override {
        if (HasNewFrame()) return true;
        const std::int64_t next = m_phase + (m_shown + 1) * m_period;
        m_clock.SleepUntil(std::min(next, deadline));
        return next <= deadline;
    }
    void Render(std::uint8_t*, std::size_t, const picture::MediaFrame&) override {
        const std::int64_t frame = LatestBy(m_clock.now);
        deliveries.push_back({m_clock.now, frame != m_shown ? m_phase + frame * m_period : -1});
        m_shown = frame;
    }
    void Release() override {}

    std::vector<Delivery> deliveries;

  private:
    std::int64_t LatestBy(std::int64_t time) const {
        return m_period == 0 || time < m_phase ? -1 : (time - m_phase) / m_period;
    }

    SimulatedClock& m_clock;
    std::int64_t m_period;
    std::int64_t m_phase;
    std::int64_t m_shown = -1;
};

// Ten simulated seconds of a stream with a buffer for every slot.
std::vector<Delivery> Simulate(std::int64_t period, std::int64_t phase) {
    SimulatedClock clock;
    SimulatedProducer producer(clock, period, phase);
    camera::LiveSampler sampler(producer, clock);
    std::vector<std::uint8_t> buffer(picture::FrameBytes(kMedia));
    sampler.Begin(kInterval);
    while (clock.now < kTenSeconds) {
        EXPECT_TRUE(sampler.Deliver(sampler.WaitForSlot(), buffer, kMedia));
    }
    return producer.deliveries;
}

void ExpectOfferedRateWithoutBursts(const std::vector<Delivery>& deliveries) {
    EXPECT_NEAR(static_cast<double>(deliveries.size()), 300.0, 3.0);
    for (std::size_t i = 1; i < deliveries.size(); ++i) {
        ASSERT_GE(deliveries[i].time - deliveries[i - 1].time, kInterval / 2) << i;
    }
}

TEST(LiveSamplerTest, WithoutAProducerSamplesLeaveExactlyOnTheSchedule) {
    const auto deliveries = Simulate(0, 0);
    ExpectOfferedRateWithoutBursts(deliveries);
    for (std::size_t i = 0; i < deliveries.size(); ++i) {
        ASSERT_EQ(deliveries[i].time, static_cast<std::int64_t>(i) * kInterval);
    }
}

TEST(LiveSamplerTest, AProducerAtTheOfferedRateHasEachFrameSentAsItArrives) {
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

TEST(LiveSamplerTest, SlowerOrFasterProducersDoNotChangeTheRate) {
    for (const std::int64_t period : {400000LL, 350000LL, 320000LL, 166666LL, 1000000LL}) {
        SCOPED_TRACE(period);
        ExpectOfferedRateWithoutBursts(Simulate(period, kInterval / 4));
    }
}

TEST(LiveSamplerTest, ASlotWithoutABufferIsMissedAndTheNextComesAtItsOwnTime) {
    SimulatedClock clock;
    SimulatedProducer producer(clock, 0, 0);
    camera::LiveSampler sampler(producer, clock);
    std::vector<std::uint8_t> shortBuffer(picture::FrameBytes(kMedia) - 1);
    sampler.Begin(kInterval);
    for (const std::span<std::uint8_t> none : {std::span<std::uint8_t>{}, std::span(shortBuffer)}) {
        const LiveSchedule::Slot slot = sampler.WaitForSlot();
        EXPECT_FALSE(sampler.Deliver(slot, none, kMedia));
    }
    EXPECT_EQ(clock.now, kInterval);  // waited for the second slot rather than spinning
    EXPECT_EQ(sampler.Schedule().DroppedCount(), 2);
    EXPECT_EQ(sampler.Schedule().DeliveredCount(), 0);
    EXPECT_TRUE(producer.deliveries.empty());
}

TEST(LiveSamplerTest, ALateStreamDropsTheSlotsItMissedInsteadOfBursting) {
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

}  // namespace
}  // namespace orvanecam::testing
