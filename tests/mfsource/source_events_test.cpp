// The source and its stream driven by hand, as the frame server does: the documented events in
// their order, the state rules, and shutdown.
#include "source_fixture.h"

namespace orvanecam::testing {
namespace {

class SourceEventsTest : public MediaSourceTest {
  protected:
    // A 320 x 240 producer at 120 fps and a source started on it.
    Streaming StartStreaming() {
        PublishUniformFrame(320, 240, 60, 128, 128, 120);
        return MediaSourceTest::StartStreaming(ActivateSource());
    }
};

TEST_F(SourceEventsTest, StartPauseRestartStopAndShutdownFollowTheDocumentedEvents) {
    PublishUniformFrame(640, 480, 120, 90, 200);
    const auto source = ActivateSource();
    ASSERT_TRUE(source);
    DWORD characteristics = 0;
    ASSERT_EQ(source->GetCharacteristics(&characteristics), S_OK);
    EXPECT_EQ(characteristics, static_cast<DWORD>(MFMEDIASOURCE_IS_LIVE));

    sdk::ComPtr<IMFPresentationDescriptor> descriptor;
    ASSERT_EQ(source->CreatePresentationDescriptor(descriptor.Put()), S_OK);
    const auto stream = StartAndExpectEvents(source.Get(), descriptor.Get(), MENewStream);
    ASSERT_TRUE(stream);
    ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream.Get()).Get()), MEMediaSample);

    // Paused, a request waits for the restart; the stream is then updated, not new.
    ASSERT_EQ(source->Pause(), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream.Get()).Get()), MEStreamPaused);
    EXPECT_EQ(TypeOf(NextEvent(source.Get()).Get()), MESourcePaused);
    ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
    StartAndExpectEvents(source.Get(), descriptor.Get(), MEUpdatedStream);
    EXPECT_EQ(TypeOf(NextEvent(stream.Get()).Get()), MEMediaSample);

    ASSERT_EQ(source->Stop(), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream.Get()).Get()), MEStreamStopped);
    EXPECT_EQ(TypeOf(NextEvent(source.Get()).Get()), MESourceStopped);
    EXPECT_EQ(stream->RequestSample(nullptr), MF_E_MEDIA_SOURCE_WRONGSTATE);
    EXPECT_EQ(source->Pause(), MF_E_INVALID_STATE_TRANSITION);

    ASSERT_EQ(source->Shutdown(), S_OK);
    const PROPVARIANT position = EmptyPosition();
    EXPECT_EQ(source->Start(descriptor.Get(), nullptr, &position), MF_E_SHUTDOWN);
    EXPECT_EQ(source->GetCharacteristics(&characteristics), MF_E_SHUTDOWN);
    EXPECT_EQ(stream->RequestSample(nullptr), MF_E_SHUTDOWN);
    sdk::ComPtr<IMFMediaEvent> event;
    EXPECT_EQ(source->GetEvent(MF_EVENT_FLAG_NO_WAIT, event.Put()), MF_E_SHUTDOWN);
}

// Samples are pooled: one the client still holds must never be rendered over.
TEST_F(SourceEventsTest, ASampleTheClientStillHoldsIsNeverHandedOutAgain) {
    const Streaming streaming = StartStreaming();
    IMFMediaStream* stream = streaming.stream.Get();
    ASSERT_NE(stream, nullptr);
    const auto nextSample = [&] { return NextSample(stream); };
    std::vector<sdk::ComPtr<IMFSample>> held;
    for (int i = 0; i < 10; ++i) {
        held.push_back(nextSample());
        ASSERT_TRUE(held.back());
        for (std::size_t j = 0; j + 1 < held.size(); ++j)
            EXPECT_NE(held[j].Get(), held.back().Get());
    }
    held.clear();
    EXPECT_TRUE(nextSample());
}

TEST_F(SourceEventsTest, TheFrameServerTurnsTheStreamAloneOffAndOnAgain) {
    const Streaming streaming = StartStreaming();
    IMFMediaStream* stream = streaming.stream.Get();
    ASSERT_NE(stream, nullptr);
    sdk::ComPtr<sdk::IMFMediaStream2> control;
    ASSERT_EQ(stream->QueryInterface(sdk::IID_IMFMediaStream2, control.PutVoid()), S_OK);
    sdk::MF_STREAM_STATE state = sdk::MF_STREAM_STATE_STOPPED;
    ASSERT_EQ(control->GetStreamState(&state), S_OK);
    EXPECT_EQ(state, sdk::MF_STREAM_STATE_RUNNING);

    ASSERT_EQ(control->SetStreamState(sdk::MF_STREAM_STATE_STOPPED), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream).Get()), MEStreamStopped);
    EXPECT_EQ(stream->RequestSample(nullptr), MF_E_MEDIA_SOURCE_WRONGSTATE);
    EXPECT_EQ(control->SetStreamState(sdk::MF_STREAM_STATE_PAUSED), MF_E_INVALID_STATE_TRANSITION);
    ASSERT_EQ(control->SetStreamState(sdk::MF_STREAM_STATE_RUNNING), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream).Get()), MEStreamStarted);
    ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream).Get()), MEMediaSample);
    ASSERT_EQ(control->SetStreamState(sdk::MF_STREAM_STATE_PAUSED), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(stream).Get()), MEStreamPaused);
    ASSERT_EQ(control->GetStreamState(&state), S_OK);
    EXPECT_EQ(state, sdk::MF_STREAM_STATE_PAUSED);
}

TEST_F(SourceEventsTest, ADeselectedStreamIsNeitherAnnouncedNorServed) {
    const auto source = ActivateSource();
    sdk::ComPtr<IMFPresentationDescriptor> descriptor;
    ASSERT_EQ(source->CreatePresentationDescriptor(descriptor.Put()), S_OK);
    ASSERT_EQ(descriptor->DeselectStream(0), S_OK);
    const PROPVARIANT position = EmptyPosition();
    ASSERT_EQ(source->Start(descriptor.Get(), nullptr, &position), S_OK);
    EXPECT_EQ(TypeOf(NextEvent(source.Get()).Get()), MESourceStarted);
    const GUID seconds = {0x1, 0x2, 0x3, {}};
    EXPECT_EQ(source->Start(descriptor.Get(), &seconds, &position), MF_E_UNSUPPORTED_TIME_FORMAT);
    EXPECT_EQ(source->Start(nullptr, nullptr, &position), E_INVALIDARG);
}

TEST_F(SourceEventsTest, TheFrameServersQuestionsHaveTheirAnswers) {
    const auto source = ActivateSource();
    sdk::ComPtr<IMFMediaSourceEx> extended;
    ASSERT_EQ(source->QueryInterface(IID_IMFMediaSourceEx, extended.PutVoid()), S_OK);
    sdk::ComPtr<IMFAttributes> attributes;
    ASSERT_EQ(extended->GetStreamAttributes(0, attributes.Put()), S_OK);
    GUID category{};
    UINT32 shared = 0, types = 0;
    ASSERT_EQ(attributes->GetGUID(sdk::MF_DEVICESTREAM_STREAM_CATEGORY, &category), S_OK);
    EXPECT_EQ(category, PIN_CATEGORY_CAPTURE);
    EXPECT_EQ(attributes->GetUINT32(sdk::MF_DEVICESTREAM_FRAMESERVER_SHARED, &shared), S_OK);
    EXPECT_EQ(attributes->GetUINT32(sdk::MF_DEVICESTREAM_ATTRIBUTE_FRAMESOURCE_TYPES, &types),
              S_OK);
    EXPECT_EQ(types, sdk::kFrameSourceTypeColor);
    EXPECT_EQ(extended->GetStreamAttributes(1, attributes.Put()), MF_E_INVALIDSTREAMNUMBER);
    EXPECT_EQ(extended->GetSourceAttributes(attributes.Put()), S_OK);
    EXPECT_EQ(extended->SetD3DManager(nullptr), S_OK);

    sdk::ComPtr<IKsControl> control;
    ASSERT_EQ(source->QueryInterface(IID_IKsControl, control.PutVoid()), S_OK);
    KSPROPERTY property{};
    ULONG returned = 0;
    EXPECT_EQ(control->KsProperty(&property, sizeof(property), nullptr, 0, &returned),
              HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND));
}

TEST_F(SourceEventsTest, ManyStartStopCyclesAndAShutdownWhileStreamingLeaveNothingBehind) {
    PublishUniformFrame(320, 240, 60, 128, 128, 120);
    const long objectsBefore = streaming::CBaseObject::ObjectsActive();
    {
        const auto source = ActivateSource();
        sdk::ComPtr<IMFPresentationDescriptor> descriptor;
        ASSERT_EQ(source->CreatePresentationDescriptor(descriptor.Put()), S_OK);
        const PROPVARIANT position = EmptyPosition();
        sdk::ComPtr<IMFMediaStream> stream;
        for (int cycle = 0; cycle < 40; ++cycle) {
            ASSERT_EQ(source->Start(descriptor.Get(), nullptr, &position), S_OK);
            if (!stream) {
                stream = CarriedObject<IMFMediaStream>(NextEvent(source.Get()).Get(),
                                                       IID_IMFMediaStream);
            }
            ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
            ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
            ASSERT_EQ(source->Stop(), S_OK);
        }
        ASSERT_EQ(source->Start(descriptor.Get(), nullptr, &position), S_OK);
        for (int i = 0; i < 8; ++i) ASSERT_EQ(stream->RequestSample(nullptr), S_OK);
        // Shut down mid-stream, as the frame server does.
        ASSERT_EQ(source->Shutdown(), S_OK);
        EXPECT_EQ(stream->RequestSample(nullptr), MF_E_SHUTDOWN);
    }
    // Once the test lets go of the source and the activation object, nothing of either is left.
    m_sources.clear();
    m_activate.Reset();
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), objectsBefore - 1);
}

}  // namespace
}  // namespace orvanecam::testing
