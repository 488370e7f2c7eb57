// The camera filter in the platform's own filter graph manager, with its reference clock, sample
// grabber and null renderer (Wine's under test): the rate and stamps over ten seconds, pausing,
// and SetFormat reconnecting a connected pin through the graph.
#include <dshow.h>
// clang-format off
#include <qedit.h>
// clang-format on

#include <atomic>
#include <cstdio>
#include <mutex>
#include <vector>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "graph_host/platform_filters.h"
#include "platform/clock.h"

namespace orvanecam::testing {
namespace {

using graph_host::FirstPin;
using graph_host::kNullRendererClassId;
using graph_host::kSampleGrabberClassId;

// Records each sample's start time and the graph clock's time when it arrived.
class StampRecorder final : public ISampleGrabberCB {
  public:
    explicit StampRecorder(IReferenceClock* clock) : m_clock(clock) {}
    virtual ~StampRecorder() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid != IID_IUnknown && iid != IID_ISampleGrabberCB) return E_NOINTERFACE;
        *object = static_cast<ISampleGrabberCB*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample* sample) override {
        REFERENCE_TIME start = 0, end = 0, now = 0;
        sample->GetTime(&start, &end);
        m_clock->GetTime(&now);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stamps.push_back({start, now, sample->GetActualDataLength()});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE*, LONG) override { return E_NOTIMPL; }

    struct Stamp {
        REFERENCE_TIME start;
        REFERENCE_TIME arrival;
        LONG length;
    };
    std::vector<Stamp> Stamps() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_stamps;
    }

  private:
    IReferenceClock* m_clock;
    std::mutex m_mutex;
    std::vector<Stamp> m_stamps;
};

class PlatformGraphTest : public FilterTest {
  protected:
    void SetUp() override {
        FilterTest::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IGraphBuilder, reinterpret_cast<void**>(&m_graph)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(kSampleGrabberClassId, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, reinterpret_cast<void**>(&m_grabberFilter)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(kNullRendererClassId, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IBaseFilter, reinterpret_cast<void**>(&m_renderer)),
                  S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_filter, L"OrvaneCam"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_grabberFilter, L"Grabber"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_renderer, L"Null"), S_OK);
        m_grabberFilter->QueryInterface(IID_ISampleGrabber, reinterpret_cast<void**>(&m_grabber));
        m_graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_control));
        ASSERT_NE(m_grabber, nullptr);
        ASSERT_NE(m_control, nullptr);
        // Any video: the grabber passes on whatever the camera and the renderer agree.
        AM_MEDIA_TYPE video{};
        video.majortype = MEDIATYPE_Video;
        ASSERT_EQ(m_grabber->SetMediaType(&video), S_OK);
    }

    void TearDown() override {
        if (m_control != nullptr) m_control->Stop();
        if (m_grabber != nullptr) m_grabber->SetCallback(nullptr, 0);
        // The graph holds the camera now: the fixture has nothing left to tear down.
        if (m_graph != nullptr) m_graph->RemoveFilter(m_filter);
        for (IUnknown* object : std::initializer_list<IUnknown*>{
                 m_control, m_grabber, m_grabberFilter, m_renderer, m_graph}) {
            if (object != nullptr) object->Release();
        }
        m_filter->Release();
        ResetBlock();
        CoUninitialize();
    }

    // Camera -> sample grabber -> null renderer, each pin connected directly without a type
    // (the grabber's input cannot enumerate any, so the camera's own are tried).
    void ConnectChain() {
        IPin* grabberIn = FirstPin(*m_grabberFilter, PINDIR_INPUT);
        IPin* grabberOut = FirstPin(*m_grabberFilter, PINDIR_OUTPUT);
        IPin* rendererIn = FirstPin(*m_renderer, PINDIR_INPUT);
        ASSERT_EQ(m_graph->ConnectDirect(m_pin, grabberIn, nullptr), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(grabberOut, rendererIn, nullptr), S_OK);
        grabberIn->Release();
        grabberOut->Release();
        rendererIn->Release();
    }

    IReferenceClock* GraphClock() {
        IMediaFilter* graphFilter = nullptr;
        IReferenceClock* clock = nullptr;
        m_graph->QueryInterface(IID_IMediaFilter, reinterpret_cast<void**>(&graphFilter));
        if (graphFilter != nullptr) {
            graphFilter->GetSyncSource(&clock);
            graphFilter->Release();
        }
        return clock;
    }

    IGraphBuilder* m_graph = nullptr;
    IBaseFilter* m_grabberFilter = nullptr;
    IBaseFilter* m_renderer = nullptr;
    ISampleGrabber* m_grabber = nullptr;
    IMediaControl* m_control = nullptr;
};

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
    std::printf("[ measured ] platform graph: %zu samples, %.3f per second (offered 30), stamp "
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
