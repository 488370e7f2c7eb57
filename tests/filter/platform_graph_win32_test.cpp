// The camera filter in the platform's own filter graph manager, with its reference clock, sample
// grabber and null renderer (Wine's under test): nothing while paused, stamps on its clock, and
// SetFormat reconnecting a connected pin through the graph. The rate over seconds is the live
// source test's.
#include "filter/platform_graph_fixture.h"
#include "filter/video_format.h"
#include "platform/clock.h"

namespace orvanecam::testing {
namespace {

TEST_F(PlatformGraphTest, ThePlatformGraphRunsTheCameraOnItsClock) {
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
    platform::SleepMs(1000);
    m_control->Stop();
    const auto stamps = recorder.Stamps();
    ASSERT_GE(stamps.size(), 10u);
    for (std::size_t i = 1; i < stamps.size(); ++i) {
        EXPECT_GT(stamps[i].start, stamps[i - 1].start) << i;
    }
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
