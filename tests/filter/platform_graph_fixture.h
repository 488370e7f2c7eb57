#pragma once
// The camera filter in the platform's own filter graph manager, beside its sample grabber and
// null renderer (Wine's under test), with a recorder of what reaches the grabber.
#include <dshow.h>
// clang-format off
#include <qedit.h>
// clang-format on

#include <mutex>
#include <vector>

#include "filter/filter_fixture.h"
#include "graph_host/platform_filters.h"

namespace orvanecam::testing {

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

}  // namespace orvanecam::testing
