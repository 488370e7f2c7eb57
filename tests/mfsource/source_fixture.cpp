#include "source_fixture.h"

#include <chrono>
#include <thread>

#include "filter/format_catalogue.h"
#include "picture/pixel_formats.h"

namespace orvanecam::testing {

PROPVARIANT EmptyPosition() {
    PROPVARIANT position;
    PropVariantInit(&position);
    return position;
}

void MediaSourceTest::SetUpTestSuite() {
    static const std::string suffix = UseFreshObjectNames();
    ASSERT_FALSE(suffix.empty());
    ASSERT_TRUE(exchange::ReaderExchange().OpenReaderBlock());
}

void MediaSourceTest::SetUp() {
    ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_NOSOCKET), S_OK);
    ASSERT_TRUE(m_producer.OpenOrCreateBlock());
    m_activate = ActivationOf(camera::kFirstCamera);
    ASSERT_TRUE(m_activate);
}

sdk::ComPtr<IMFActivate> MediaSourceTest::ActivationOf(const camera::CameraIdentity& camera) {
    HRESULT result = S_OK;
    sdk::ComPtr<IMFActivate> activate;
    auto* created = mfsource::CreateSourceActivate(camera, nullptr, &result);
    if (created == nullptr || FAILED(result)) return activate;
    created->NonDelegatingAddRef();
    created->NonDelegatingQueryInterface(IID_IMFActivate, activate.PutVoid());
    created->NonDelegatingRelease();
    return activate;
}

void MediaSourceTest::TearDown() {
    // The frame server's part: a source lives until its own Shutdown.
    for (const auto& source : m_sources) source->Shutdown();
    m_sources.clear();
    m_activate.Reset();
    MFShutdown();
}

void MediaSourceTest::PublishUniformFrameTo(exchange::FramePublisher& producer, std::int32_t width,
                                            std::int32_t height, std::uint8_t y, std::uint8_t u,
                                            std::uint8_t v, std::uint32_t fps) {
    exchange::SharedBlock& block = *producer.Block();
    producer.AnnounceOutputFormat({width, height}, 1u);
    exchange::Atomic(block.outFps).store(fps);
    exchange::Atomic(block.cameraOn).store(1u);
    std::vector<std::uint8_t> frame(picture::Yuv420Bytes(width, height), y);
    for (std::size_t i = picture::LumaBytes(width, height); i + 1 < frame.size(); i += 2) {
        frame[i] = u;
        frame[i + 1] = v;
    }
    ASSERT_TRUE(producer.PublishFrame(frame.data(), width, height));
}

sdk::ComPtr<IMFMediaSource> MediaSourceTest::ActivateSource(IMFActivate* activate) {
    sdk::ComPtr<IMFMediaSource> source;
    EXPECT_EQ(activate->ActivateObject(IID_IMFMediaSource, source.PutVoid()), S_OK);
    if (source) m_sources.push_back(source);
    return source;
}

sdk::ComPtr<IMFMediaStream> MediaSourceTest::StartAndExpectEvents(
    IMFMediaSource* source, IMFPresentationDescriptor* descriptor, MediaEventType announced) {
    const PROPVARIANT position = EmptyPosition();
    EXPECT_EQ(source->Start(descriptor, &GUID_NULL, &position), S_OK);
    sdk::ComPtr<IMFMediaEvent> event = NextEvent(source);
    EXPECT_EQ(TypeOf(event.Get()), announced);
    auto stream = CarriedObject<IMFMediaStream>(event.Get(), IID_IMFMediaStream);
    EXPECT_EQ(TypeOf(NextEvent(source).Get()), MESourceStarted);
    EXPECT_TRUE(stream);
    if (stream) {
        EXPECT_EQ(TypeOf(NextEvent(stream.Get()).Get()), MEStreamStarted);
    }
    return stream;
}

Streaming MediaSourceTest::StartStreaming(sdk::ComPtr<IMFMediaSource> source,
                                          sdk::ComPtr<IMFPresentationDescriptor> descriptor) {
    Streaming streaming{std::move(source), std::move(descriptor), nullptr};
    if (!streaming.source) return streaming;
    if (!streaming.descriptor) {
        EXPECT_EQ(streaming.source->CreatePresentationDescriptor(streaming.descriptor.Put()), S_OK);
    }
    streaming.stream =
        StartAndExpectEvents(streaming.source.Get(), streaming.descriptor.Get(), MENewStream);
    return streaming;
}

sdk::ComPtr<IMFSample> MediaSourceTest::NextSample(IMFMediaStream* stream) {
    EXPECT_EQ(stream->RequestSample(nullptr), S_OK);
    sdk::ComPtr<IMFMediaEvent> event = NextEvent(stream);
    EXPECT_EQ(TypeOf(event.Get()), MEMediaSample);
    return CarriedObject<IMFSample>(event.Get(), IID_IMFSample);
}

sdk::ComPtr<IMFMediaType> MediaSourceTest::SelectType(IMFPresentationDescriptor* descriptor,
                                                      const GUID& subtype, UINT32 width,
                                                      UINT32 height) {
    BOOL selected = FALSE;
    sdk::ComPtr<IMFStreamDescriptor> stream;
    sdk::ComPtr<IMFMediaTypeHandler> handler;
    DWORD count = 0;
    if (FAILED(descriptor->GetStreamDescriptorByIndex(0, &selected, stream.Put())) ||
        FAILED(stream->GetMediaTypeHandler(handler.Put())) ||
        FAILED(handler->GetMediaTypeCount(&count))) {
        return nullptr;
    }
    for (DWORD index = 0; index < count; ++index) {
        sdk::ComPtr<IMFMediaType> type;
        GUID offered{};
        UINT32 w = 0, h = 0;
        if (SUCCEEDED(handler->GetMediaTypeByIndex(index, type.Put())) &&
            SUCCEEDED(type->GetGUID(MF_MT_SUBTYPE, &offered)) && offered == subtype &&
            SUCCEEDED(MFGetAttributeSize(type.Get(), MF_MT_FRAME_SIZE, &w, &h)) && w == width &&
            h == height && SUCCEEDED(handler->SetCurrentMediaType(type.Get()))) {
            return type;
        }
    }
    return nullptr;
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
