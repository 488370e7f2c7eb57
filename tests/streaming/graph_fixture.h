#pragma once
// A test source filter wired to the graph host stand-in, torn down with a check that every
// framework object it made is gone.
#include <gtest/gtest.h>

#include "graph_host/graph_host.h"
#include "streaming/test_source.h"

namespace orvanecam::testing {

// The stand-in client graph the tests drive the filter with.
using namespace graph_host;

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        m_objectsBefore = streaming::CBaseObject::ObjectsActive();
        m_source = TestSource::Create();
        m_filter = m_source;
        m_stream = m_source->Stream();
        m_pin = m_stream;
    }

    void TearDown() override {
        // The graph outlives the filter's use of its event sink.
        TearDownCaptureGraph(m_filter, m_pin, m_sink);
        if (m_graph != nullptr) m_graph->Release();
        EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), m_objectsBefore);
        CoUninitialize();
    }

    SinkPin* MakeSink(SinkOptions options = {}) {
        m_sink = new SinkPin(std::move(options));
        return m_sink;
    }

    HRESULT Connect(SinkOptions options = {}, const AM_MEDIA_TYPE* mediaType = nullptr) {
        return m_pin->Connect(MakeSink(std::move(options)), mediaType);
    }

    EventSinkGraph* Join() {
        m_graph = new EventSinkGraph();
        EXPECT_EQ(m_filter->JoinFilterGraph(m_graph, OLESTR("test graph")), S_OK);
        return m_graph;
    }

    long m_objectsBefore = 0;
    TestSource* m_source = nullptr;
    IBaseFilter* m_filter = nullptr;
    TestStream* m_stream = nullptr;
    IPin* m_pin = nullptr;
    SinkPin* m_sink = nullptr;
    EventSinkGraph* m_graph = nullptr;
};

}  // namespace orvanecam::testing
