#include "source_fixture.h"

#include <chrono>
#include <thread>

#include "filter/format_catalogue.h"
#include "picture/pixel_formats.h"

namespace orvanecam::testing {

void MediaSourceTest::SetUpTestSuite() {
    static const std::string suffix = UseFreshObjectNames();
    ASSERT_FALSE(suffix.empty());
    ASSERT_TRUE(exchange::ReaderExchange().OpenReaderBlock());
}

void MediaSourceTest::SetUp() {
    ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_NOSOCKET), S_OK);
    ASSERT_TRUE(m_producer.OpenOrCreateBlock());
    HRESULT result = S_OK;
    auto* created = mfsource::CreateSourceActivate(nullptr, &result);
    ASSERT_EQ(result, S_OK);
    created->NonDelegatingAddRef();
    ASSERT_EQ(created->NonDelegatingQueryInterface(IID_IMFActivate, m_activate.PutVoid()), S_OK);
    created->NonDelegatingRelease();
}

void MediaSourceTest::TearDown() {
    if (m_activate) m_activate->ShutdownObject();
    m_activate.Reset();
    MFShutdown();
}

void MediaSourceTest::PublishUniformFrame(std::int32_t width, std::int32_t height, std::uint8_t y,
                                          std::uint8_t u, std::uint8_t v, std::uint32_t fps) {
    exchange::SharedBlock& block = *m_producer.Block();
    m_producer.AnnounceOutputFormat({width, height}, 1u);
    exchange::Atomic(block.outFps).store(fps);
    exchange::Atomic(block.cameraOn).store(1u);
    std::vector<std::uint8_t> frame(picture::Yuv420Bytes(width, height), y);
    for (std::size_t i = picture::LumaBytes(width, height); i + 1 < frame.size(); i += 2) {
        frame[i] = u;
        frame[i + 1] = v;
    }
    ASSERT_TRUE(m_producer.PublishFrame(frame.data(), width, height));
}

sdk::ComPtr<IMFMediaSource> MediaSourceTest::ActivateSource() {
    sdk::ComPtr<IMFMediaSource> source;
    EXPECT_EQ(m_activate->ActivateObject(IID_IMFMediaSource, source.PutVoid()), S_OK);
    return source;
}

sdk::ComPtr<IMFMediaEvent> MediaSourceTest::NextEvent(IMFMediaEventGenerator* generator) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    sdk::ComPtr<IMFMediaEvent> event;
    while (std::chrono::steady_clock::now() < deadline) {
        const HRESULT result = generator->GetEvent(MF_EVENT_FLAG_NO_WAIT, event.Put());
        if (result != MF_E_NO_EVENTS_AVAILABLE) return SUCCEEDED(result) ? event : nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return nullptr;
}

MediaEventType MediaSourceTest::TypeOf(IMFMediaEvent* event) {
    MediaEventType type = MEUnknown;
    if (event != nullptr) event->GetType(&type);
    return type;
}

}  // namespace orvanecam::testing
