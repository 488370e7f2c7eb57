// The camera filter in the platform's own filter graph manager, with its reference clock, sample
// grabber and null renderer (Wine's under test): the rate and stamps over ten seconds, pausing,
// and SetFormat reconnecting a connected pin through the graph.
#include <dshow.h>
// clang-format off
#include <qedit.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "filter/filter_fixture.h"
#include "filter/video_format.h"
#include "graph_host/platform_filters.h"
#include "picture/pixel_formats.h"
#include "platform/clock.h"

namespace orvanecam::testing {
namespace {

using graph_host::FirstPin;
using graph_host::kNullRendererClassId;
using graph_host::kSampleGrabberClassId;

// Records each sample's start time, the graph clock's time when it arrived, and the last one's
// bytes.
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
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stamps.push_back({start, now, sample->GetActualDataLength()});
        if (data != nullptr) m_lastData.assign(data, data + sample->GetActualDataLength());
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
    std::vector<BYTE> LastData() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_lastData;
    }

  private:
    IReferenceClock* m_clock;
    std::mutex m_mutex;
    std::vector<Stamp> m_stamps;
    std::vector<BYTE> m_lastData;
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
        const auto grabberIn = FirstPin(*m_grabberFilter, PINDIR_INPUT);
        const auto grabberOut = FirstPin(*m_grabberFilter, PINDIR_OUTPUT);
        const auto rendererIn = FirstPin(*m_renderer, PINDIR_INPUT);
        ASSERT_EQ(m_graph->ConnectDirect(m_pin, grabberIn.Get(), nullptr), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(grabberOut.Get(), rendererIn.Get(), nullptr), S_OK);
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

// A still-capture client's graph: SetFormat(RGB24), then the Capture Graph Builder renders the
// capture pin into an RGB24 sample grabber (through a Smart Tee it inserts).
TEST_F(PlatformGraphTest, AnRgb24ClientGetsTheProducersPictureThroughTheCaptureGraphBuilder) {
    for (const bool rgb32 : {false, true}) {
        SCOPED_TRACE(rgb32 ? "RGB32" : "RGB24");
        streaming::CMediaType type;
        const auto format = rgb32 ? picture::SampleFormat::kRgb32 : picture::SampleFormat::kRgb24;
        filter::BuildVideoType({128, 48, 333333}, format, filter::FormatLayout::kVideoInfo, type);
        ASSERT_EQ(m_stream->SetFormat(&type), S_OK);
        AM_MEDIA_TYPE wanted{};
        wanted.majortype = MEDIATYPE_Video;
        wanted.subtype = rgb32 ? MEDIASUBTYPE_RGB32 : MEDIASUBTYPE_RGB24;
        ASSERT_EQ(m_grabber->SetMediaType(&wanted), S_OK);
        ICaptureGraphBuilder2* builder = nullptr;
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, reinterpret_cast<void**>(&builder)),
                  S_OK);
        ASSERT_EQ(builder->SetFiltergraph(m_graph), S_OK);
        ASSERT_TRUE(SUCCEEDED(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Video,
                                                    m_filter, m_grabberFilter, m_renderer)));
        builder->Release();

        std::vector<std::uint8_t> red(picture::Yuv420Bytes(64, 48), 0);
        std::fill_n(red.begin(), 64 * 48, 82);  // BT.601 red: Y 82, U 90, V 240
        for (std::size_t i = 64 * 48; i < red.size(); i += 2) {
            red[i] = 90;
            red[i + 1] = 240;
        }
        ASSERT_TRUE(m_producer.PublishFrame(red.data(), 64, 48));
        IReferenceClock* clock = nullptr;
        ASSERT_TRUE(SUCCEEDED(m_control->Pause()));
        clock = GraphClock();
        StampRecorder recorder(clock);
        ASSERT_EQ(m_grabber->SetCallback(&recorder, 0), S_OK);
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        platform::SleepMs(500);
        m_control->Stop();
        m_grabber->SetCallback(nullptr, 0);
        if (clock != nullptr) clock->Release();
        const auto data = recorder.LastData();
        const std::size_t pixelBytes = rgb32 ? 4 : 3;
        ASSERT_EQ(data.size(), (128 * pixelBytes + 3) / 4 * 4 * 48);
        // The 64 x 48 picture sits between black bars at x = 32..95; row 24 from the bottom.
        const BYTE* row = data.data() + (128 * pixelBytes + 3) / 4 * 4 * 24;
        const BYTE* inside = row + 64 * pixelBytes;
        EXPECT_LE(std::abs(inside[2] - 255), 3);  // R
        EXPECT_LE(inside[1], 3);                  // G
        EXPECT_LE(inside[0], 3);                  // B
        const BYTE* bar = row + 8 * pixelBytes;
        EXPECT_LE(bar[0] + bar[1] + bar[2], 3);
        // Next round on a fresh graph.
        TearDown();
        SetUp();
    }
}

}  // namespace
}  // namespace orvanecam::testing
