// The camera filter in the platform's own filter graph manager, with its reference clock, sample
// grabber and null renderer (Wine's under test): the rate and stamps over ten seconds, pausing,
// and SetFormat reconnecting a connected pin through the graph.
#include <cstdio>
#include <cstdlib>

#include "filter/platform_graph_fixture.h"
#include "filter/video_format.h"
#include "platform/clock.h"

namespace orvanecam::testing {
namespace {

TEST_F(PlatformGraphTest, TenSecondsInThePlatformGraphKeepTheRateOnItsClock) {
    m_producer.AnnounceOutputFormat({320, 240}, 1u);
    ConnectChain();
    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    OAFilterState state = State_Stopped;
    EXPECT_EQ(m_control->GetState(1000, &state), VFW_S_CANT_CUE);
    IReferenceClock* clock = GraphClock();
    ASSERT_NE(clock, nullptr);
    StampRecorder recorder(clock);
    ASSERT_EQ(m_grabber->SetCallback(&recorder, 0), S_OK);
    platform::SleepMs(300);
    EXPECT_TRUE(recorder.Stamps().empty());  // a live source sends nothing while paused

    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    platform::SleepMs(10000);
    m_control->Stop();
    const auto stamps = recorder.Stamps();
    ASSERT_GE(stamps.size(), 200u);
    const double span = static_cast<double>(stamps.back().start - stamps.front().start);
    const double rate = static_cast<double>(stamps.size() - 1) * 1e7 / span;
    const double arrivalSpan = static_cast<double>(stamps.back().arrival - stamps.front().arrival);
    const double drift = (span - arrivalSpan) / arrivalSpan;
    std::printf(
        "[ measured ] platform graph: %zu samples, %.3f per second (offered 30), stamp "
        "drift %+.4f%% against its clock\n",
        stamps.size(), rate, drift * 100);
    EXPECT_NEAR(rate, 30.0, 0.3);
    EXPECT_LT(std::abs(drift), 0.01);
    m_grabber->SetCallback(nullptr, 0);
    clock->Release();
}

TEST_F(PlatformGraphTest, SetFormatReconnectsAConnectedPinThroughTheGraph) {
    ConnectChain();
    streaming::CMediaType yuy2;
    filter::BuildVideoType({1280, 720, 333333}, true, filter::FormatLayout::kVideoInfo, yuy2);
    ASSERT_EQ(m_stream->SetFormat(&yuy2), S_OK);
    // The graph may reconnect on a thread of its own.
    AM_MEDIA_TYPE connected{};
    for (int tries = 0; tries < 200; ++tries) {
        if (m_pin->ConnectionMediaType(&connected) == S_OK) {
            if (connected.subtype == MEDIASUBTYPE_YUY2) break;
            streaming::FreeMediaType(connected);
        }
        platform::SleepMs(10);
    }
    EXPECT_EQ(connected.subtype, MEDIASUBTYPE_YUY2);
    ASSERT_NE(filter::BitmapHeaderOf(connected), nullptr);
    EXPECT_EQ(filter::BitmapHeaderOf(connected)->biWidth, 1280);
    streaming::FreeMediaType(connected);

    ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
    IReferenceClock* clock = GraphClock();
    ASSERT_NE(clock, nullptr);
    StampRecorder recorder(clock);
    ASSERT_EQ(m_grabber->SetCallback(&recorder, 0), S_OK);
    ASSERT_TRUE(SUCCEEDED(m_control->Run()));
    platform::SleepMs(500);
    m_control->Stop();
    const auto stamps = recorder.Stamps();
    ASSERT_FALSE(stamps.empty());
    EXPECT_EQ(stamps.back().length, 1280 * 720 * 2);
    m_grabber->SetCallback(nullptr, 0);
    clock->Release();
}

}  // namespace
}  // namespace orvanecam::testing
