// The camera as a live source: nothing while paused, stamps from the graph's clock, a steady
// rate over seconds, the interfaces graphs and recorders ask for, and one COM identity per object.
#include <algorithm>
#include <cstdio>
#include <thread>

#include "filter/filter_fixture.h"
#include "platform/clock.h"
#include "sdk/com_ptr.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

// Every interface leads back to one IUnknown and reaches every other interface of the object.
void ExpectOneIdentity(IUnknown* object, std::initializer_list<IID> interfaces) {
    sdk::ComPtr<IUnknown> identity;
    ASSERT_EQ(object->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
    for (const IID& from : interfaces) {
        sdk::ComPtr<IUnknown> face;
        ASSERT_EQ(object->QueryInterface(from, face.PutVoid()), S_OK);
        sdk::ComPtr<IUnknown> back;
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, back.PutVoid()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get());
        for (const IID& to : interfaces) {
            sdk::ComPtr<IUnknown> other;
            ASSERT_EQ(face->QueryInterface(to, other.PutVoid()), S_OK);
        }
    }
}

class LiveSourceTest : public FilterTest {
  protected:
    std::size_t SamplesAfter(unsigned milliseconds) {
        platform::SleepMs(milliseconds);
        return m_sink->ReceivedCount();
    }
};

TEST_F(LiveSourceTest, DeliversOnlyWhileRunningAndCannotCueWhilePaused) {
    ASSERT_EQ(ConnectWith(nullptr), S_OK);
    ASSERT_EQ(m_filter->Pause(), S_OK);
    FILTER_STATE state = State_Stopped;
    EXPECT_EQ(m_filter->GetState(0, &state), VFW_S_CANT_CUE);
    EXPECT_EQ(state, State_Paused);
    EXPECT_EQ(SamplesAfter(300), 0u);

    ASSERT_EQ(m_filter->Run(0), S_OK);
    EXPECT_EQ(m_filter->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);
    ASSERT_GE(m_sink->WaitForSamples(3, kWaitMs), 3u);

    const std::size_t running = m_sink->ReceivedCount();
    ASSERT_EQ(m_filter->Pause(), S_OK);
    // The sample being filled when the graph paused may still arrive, nothing after it.
    const std::size_t paused = SamplesAfter(500);
    EXPECT_LE(paused, running + 1);
    EXPECT_EQ(SamplesAfter(300), paused);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    EXPECT_GT(m_sink->WaitForSamples(paused + 1, kWaitMs), paused);
}

TEST_F(LiveSourceTest, SamplesAreStampedWithTheStreamTimeOfTheGraphsClock) {
    const auto clock = sdk::ComPtr<ManualClock>::Adopt(new ManualClock());
    clock->now = 7000000;
    ASSERT_EQ(m_filter->SetSyncSource(clock.Get()), S_OK);
    ASSERT_EQ(ConnectWith(nullptr), S_OK);
    ASSERT_EQ(m_filter->Run(5000000), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(1, kWaitMs), 1u);
    clock->now = 12000000;
    const std::size_t seen = m_sink->ReceivedCount();
    ASSERT_GT(m_sink->WaitForSamples(seen + 2, kWaitMs), seen + 1);
    const auto samples = m_sink->Samples();
    EXPECT_EQ(samples[0].start, 2000000);
    EXPECT_EQ(samples[0].end, 2333333);
    EXPECT_EQ(samples.back().start, 7000000);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    m_filter->SetSyncSource(nullptr);
}

// The one real-clock soak: ten seconds against a real clock; reports the rate and the stamps'
// drift. Everything else about pacing is the live sampler's test, in simulated time.
TEST_F(LiveSourceTest, TenSecondsOnTheGraphsClockKeepTheOfferedRate) {
    m_producer.AnnounceOutputFormat({320, 240}, 1u);
    const auto clock = sdk::ComPtr<SystemClock>::Adopt(new SystemClock());
    ASSERT_EQ(m_filter->SetSyncSource(clock.Get()), S_OK);
    std::vector<REFERENCE_TIME> arrivals;
    arrivals.reserve(400);
    SinkOptions options;
    options.onSample = [&](const BYTE*, LONG) {
        REFERENCE_TIME now = 0;
        clock->GetTime(&now);
        arrivals.push_back(now);
    };
    m_sink = new SinkPin(std::move(options));
    ASSERT_EQ(m_pin->Connect(m_sink, nullptr), S_OK);
    REFERENCE_TIME start = 0;
    clock->GetTime(&start);
    ASSERT_EQ(m_filter->Run(start), S_OK);
    platform::SleepMs(10000);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    const auto samples = m_sink->Samples();
    ASSERT_GE(samples.size(), 200u);
    const double span = static_cast<double>(samples.back().start - samples.front().start);
    const double rate = static_cast<double>(samples.size() - 1) * 1e7 / span;
    const double arrivalSpan = static_cast<double>(arrivals.back() - arrivals.front());
    const double drift = (span - arrivalSpan) / arrivalSpan;
    const double lag = static_cast<double>(arrivals.back() - start - samples.back().start) / 1e4;
    std::printf(
        "[ measured ] %zu samples, %.3f per second (offered 30), stamp drift %+.4f%%, "
        "last sample received %.2f ms after its stamp\n",
        samples.size(), rate, drift * 100, lag);
    EXPECT_NEAR(rate, 30.0, 0.3);
    EXPECT_LT(std::abs(drift), 0.01);
    m_filter->SetSyncSource(nullptr);
}

TEST_F(LiveSourceTest, TellsTheGraphItIsALiveSourceOneFrameBehind) {
    sdk::ComPtr<IAMFilterMiscFlags> flags;
    ASSERT_EQ(m_filter->QueryInterface(IID_IAMFilterMiscFlags, flags.PutVoid()), S_OK);
    EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));

    sdk::ComPtr<IAMPushSource> push;
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMPushSource, push.PutVoid()), S_OK);
    REFERENCE_TIME latency = 0;
    EXPECT_EQ(push->GetLatency(&latency), S_OK);
    EXPECT_EQ(latency, 333333);
    ULONG pushFlags = 99;
    EXPECT_EQ(push->GetPushSourceFlags(&pushFlags), S_OK);
    EXPECT_EQ(pushFlags, 0u);

    sdk::ComPtr<IAMDroppedFrames> dropped;
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMDroppedFrames, dropped.PutVoid()), S_OK);
    ASSERT_EQ(ConnectWith(nullptr), S_OK);
    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(5, kWaitMs), 5u);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    LONG delivered = 0, skipped = -1, average = 0;
    EXPECT_EQ(dropped->GetNumNotDropped(&delivered), S_OK);
    EXPECT_EQ(dropped->GetNumDropped(&skipped), S_OK);
    EXPECT_EQ(dropped->GetAverageFrameSize(&average), S_OK);
    EXPECT_GE(delivered, 5);
    EXPECT_GE(skipped, 0);
    EXPECT_EQ(average, 3110400);
}

TEST_F(LiveSourceTest, EveryInterfaceLeadsBackToItsObjectsOneIdentity) {
    ExpectOneIdentity(m_filter, {IID_IBaseFilter, IID_IMediaFilter, IID_IPersist, IID_IAMovieSetup,
                                 IID_IAMFilterMiscFlags, IID_IAMStreamConfig, IID_IKsPropertySet});
    ExpectOneIdentity(m_pin,
                      {IID_IPin, IID_IQualityControl, IID_IAMStreamConfig, IID_IKsPropertySet,
                       IID_IAMPushSource, IID_IAMLatency, IID_IAMDroppedFrames});
}

TEST_F(LiveSourceTest, AFilterReleasedWhileRunningStopsItsStreamFirst) {
    HRESULT result = E_FAIL;
    auto* camera = static_cast<filter::CVCam*>(filter::CVCam::CreateInstance(nullptr, &result));
    ASSERT_EQ(result, S_OK);
    camera->NonDelegatingAddRef();
    IBaseFilter* filter = camera;
    const auto sink = sdk::ComPtr<SinkPin>::Adopt(new SinkPin(SinkOptions{}));
    ASSERT_EQ(camera->Stream()->Connect(sink.Get(), nullptr), S_OK);
    ASSERT_EQ(filter->Run(0), S_OK);
    ASSERT_GE(sink->WaitForSamples(2, kWaitMs), 2u);
    // The client drops everything without stopping.
    sink->Disconnect();
    filter->Release();
}

}  // namespace
}  // namespace orvanecam::testing
