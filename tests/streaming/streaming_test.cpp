// The worker thread: streaming into the sink across state changes, and how it ends.
#include <cstring>

#include "platform/clock.h"
#include "streaming/graph_fixture.h"
#include "support/helper_process.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

std::int32_t Stamp(const ReceivedSample& sample) {
    std::int32_t stamp = -1;
    std::memcpy(&stamp, sample.head.data(), sizeof(stamp));
    return stamp;
}

class StreamingTest : public GraphTest {
  protected:
    void SetUp() override {
        GraphTest::SetUp();
        ASSERT_EQ(Connect(), S_OK);
        m_events = Join();
    }
    EventSinkGraph* m_events = nullptr;
};

TEST_F(StreamingTest, TheSinkKeepsABoundedRecordOfALongStream) {
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(SinkPin::kKeptRecords + 100, kWaitMs),
              SinkPin::kKeptRecords + 100);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    const std::size_t received = m_sink->ReceivedCount();
    const auto kept = m_sink->Samples();
    EXPECT_EQ(kept.size(), SinkPin::kKeptRecords);
    EXPECT_EQ(Stamp(kept.back()), static_cast<std::int32_t>(received - 1));
}

TEST_F(StreamingTest, RunningFilterDeliversStampedTimedSamples) {
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(5, kWaitMs), 5u);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    // The unpaced test stream may deliver more than the sink keeps: count from the first kept.
    const auto samples = m_sink->Samples();
    const std::int32_t first = Stamp(samples.front());
    EXPECT_EQ(first + static_cast<std::int32_t>(samples.size()),
              static_cast<std::int32_t>(m_sink->ReceivedCount()));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const std::int32_t stamp = first + static_cast<std::int32_t>(i);
        EXPECT_EQ(Stamp(samples[i]), stamp);
        EXPECT_EQ(samples[i].start, static_cast<REFERENCE_TIME>(stamp) * kTestInterval);
        EXPECT_EQ(samples[i].end, samples[i].start + kTestInterval);
        EXPECT_TRUE(samples[i].syncPoint);
        EXPECT_EQ(samples[i].actualLength, kTestFrameBytes);
    }
    FILTER_STATE state = State_Running;
    EXPECT_EQ(m_filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Stopped);
}

TEST_F(StreamingTest, PausingTwiceActivatesOnceAndEveryStartStreamsAgain) {
    for (int round = 1; round <= 3; ++round) {
        ASSERT_EQ(m_filter->Pause(), S_OK);
        EXPECT_EQ(m_stream->Active(), S_FALSE);
        ASSERT_EQ(m_filter->Run(0), S_OK);
        const std::size_t expected = static_cast<std::size_t>(round) * 3;
        ASSERT_GE(m_sink->WaitForSamples(expected, kWaitMs), expected);
        ASSERT_EQ(m_filter->Stop(), S_OK);
    }
}

TEST_F(StreamingTest, FailedFillEndsTheStreamAndReportsTheAbortButStillStops) {
    m_stream->failAtFill = 2;
    m_stream->fillResult = E_FAIL;
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return !m_events->Events().empty(); }));
    EXPECT_EQ(m_sink->ReceivedCount(), 2u);
    EXPECT_EQ(m_sink->EndOfStreamCount(), 1);
    const RecordedEvent event = m_events->Events().front();
    EXPECT_EQ(event.code, EC_ERRORABORT);
    EXPECT_EQ(event.param1, static_cast<LONG_PTR>(E_FAIL));
    EXPECT_EQ(event.param2, 0);
    EXPECT_EQ(m_filter->Stop(), S_OK);
}

TEST_F(StreamingTest, EndOfStreamFromTheFillStopsQuietly) {
    m_stream->failAtFill = 0;
    m_stream->fillResult = S_FALSE;
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return m_sink->EndOfStreamCount() == 1; }));
    EXPECT_TRUE(m_events->Events().empty());
    EXPECT_TRUE(m_sink->Samples().empty());
}

TEST_F(StreamingTest, StopIsAnsweredAfterTheSampleInProgressIsDelivered) {
    m_stream->fillDelayMs = 150;
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_TRUE(WaitUntil([&] { return m_stream->fills.load() >= 1; }));
    ASSERT_EQ(m_filter->Stop(), S_OK);
    EXPECT_EQ(m_sink->ReceivedCount(), static_cast<std::size_t>(m_stream->fills.load()));
}

TEST_F(StreamingTest, RefusedSampleEndsStreamingUntilTheNextStart) {
    m_sink->SetRefuseSamples(true);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_EQ(m_sink->WaitForSamples(1, kWaitMs), 1u);
    platform::SleepMs(50);
    EXPECT_EQ(m_sink->ReceivedCount(), 1u);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    m_sink->SetRefuseSamples(false);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    EXPECT_GE(m_sink->WaitForSamples(4, kWaitMs), 4u);
}

TEST_F(StreamingTest, FailedThreadStartFailsThePauseAndALaterStartWorks) {
    m_stream->threadCreateResult = E_ACCESSDENIED;
    EXPECT_EQ(m_filter->Pause(), E_ACCESSDENIED);
    FILTER_STATE state = State_Running;
    m_filter->GetState(0, &state);
    EXPECT_EQ(state, State_Stopped);
    m_stream->threadCreateResult = S_OK;
    ASSERT_EQ(m_filter->Run(0), S_OK);
    EXPECT_GE(m_sink->WaitForSamples(1, kWaitMs), 1u);
}

TEST_F(StreamingTest, HundredsOfStartsAndStopsLeaveNothingBehind) {
    for (int cycle = 0; cycle < 300; ++cycle) {
        ASSERT_EQ(m_filter->Run(0), S_OK);
        if (cycle % 50 == 0) {
            const std::size_t seen = m_sink->ReceivedCount();
            ASSERT_GT(m_sink->WaitForSamples(seen + 1, kWaitMs), seen);
        }
        ASSERT_EQ(m_filter->Stop(), S_OK);
    }
}

TEST(UnconnectedStreamTest, UnconnectedPinActivatesNothing) {
    const long before = streaming::CBaseObject::ObjectsActive();
    TestSource* source = TestSource::Create();
    EXPECT_EQ(source->Stream()->Active(), S_OK);
    EXPECT_EQ(static_cast<IBaseFilter*>(source)->Pause(), S_OK);
    EXPECT_FALSE(source->Stream()->ThreadExists());
    EXPECT_EQ(source->Stream()->Inactive(), S_OK);
    EXPECT_EQ(static_cast<IBaseFilter*>(source)->Stop(), S_OK);
    static_cast<IBaseFilter*>(source)->Release();
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before);
}

}  // namespace
}  // namespace orvanecam::testing
