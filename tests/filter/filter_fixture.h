#pragma once
// A camera filter in this test process, fed by a producer side of the same process through the
// shared block (the module's reader is process-wide, so the whole program shares one block).
#include <gtest/gtest.h>

#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "filter/vcam.h"
#include "filter/vcam_stream.h"
#include "graph_host/graph_host.h"
#include "support/isolated_names.h"

namespace orvanecam::testing {

// The stand-in client graph the tests drive the filter with.
using namespace graph_host;

// The reader is process-wide and keeps the names it first opened, so every suite of the
// program must use the same ones: each calls this from SetUpTestSuite.
inline void UseTheProgramsObjectNames() {
    static const std::string suffix = UseFreshObjectNames();
    ASSERT_FALSE(suffix.empty());
    ASSERT_TRUE(exchange::ReaderExchange().OpenReaderBlock());
}

class FilterTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { UseTheProgramsObjectNames(); }

    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(m_producer.OpenOrCreateBlock());
        ResetBlock();
        HRESULT result = E_FAIL;
        m_camera = static_cast<filter::CVCam*>(filter::CVCam::CreateInstance(nullptr, &result));
        ASSERT_EQ(result, S_OK);
        m_camera->NonDelegatingAddRef();
        m_filter = m_camera;
        m_stream = m_camera->Stream();
        m_pin = m_stream;
    }

    void TearDown() override {
        TearDownCaptureGraph(m_filter, m_pin, m_sink);
        ResetBlock();
        CoUninitialize();
    }

    // The creation values, so each test starts from a fresh-looking block.
    void ResetBlock() {
        exchange::SharedBlock& block = *m_producer.Block();
        m_producer.AnnounceOutputFormat(exchange::kDefaultFrameSize, 1u);
        exchange::Atomic(block.outFps).store(30);
        exchange::Atomic(block.hasPayload).store(0u);
        exchange::Atomic(block.writerPid).store(0);
        exchange::Atomic(block.cameraOn).store(1u);
        exchange::Atomic(block.mirror).store(0u);
        exchange::Atomic(block.flip).store(0u);
        exchange::Atomic(block.rotation).store(0u);
        exchange::Atomic(block.customVacant).store(0u);
    }

    HRESULT ConnectWith(const AM_MEDIA_TYPE* mediaType) {
        m_sink = new SinkPin(SinkOptions{});
        return m_pin->Connect(m_sink, mediaType);
    }

    exchange::FramePublisher m_producer;
    filter::CVCam* m_camera = nullptr;
    IBaseFilter* m_filter = nullptr;
    filter::CVCamStream* m_stream = nullptr;
    IPin* m_pin = nullptr;
    SinkPin* m_sink = nullptr;
};

}  // namespace orvanecam::testing
