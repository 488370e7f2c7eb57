#pragma once
// The camera's media source in this test process, fed by a producer side of the same process
// through the shared block, with Media Foundation started for each test.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "mfsource/source_activate.h"
#include "mfsource/source_class.h"
#include "sdk/com_ptr.h"
#include "support/isolated_names.h"

namespace orvanecam::testing {

PROPVARIANT EmptyPosition();

// The object an event carries (the new stream, a sample), as interface iid; null without one.
template <class Interface>
sdk::ComPtr<Interface> CarriedObject(IMFMediaEvent* event, REFIID iid) {
    sdk::ComPtr<Interface> object;
    PROPVARIANT value;
    PropVariantInit(&value);
    if (event != nullptr && SUCCEEDED(event->GetValue(&value)) && value.vt == VT_UNKNOWN) {
        value.punkVal->QueryInterface(iid, object.PutVoid());
    }
    PropVariantClear(&value);
    return object;
}

struct Streaming {
    sdk::ComPtr<IMFMediaSource> source;
    sdk::ComPtr<IMFPresentationDescriptor> descriptor;
    sdk::ComPtr<IMFMediaStream> stream;
};

class MediaSourceTest : public ::testing::Test {
  protected:
    // The reader is process-wide and keeps the names it first opened.
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Sets the producer's output size and rate and publishes one uniform NV12 frame.
    void PublishUniformFrame(std::int32_t width, std::int32_t height, std::uint8_t y,
                             std::uint8_t u, std::uint8_t v, std::uint32_t fps = 30) {
        PublishUniformFrameTo(m_producer, width, height, y, u, v, fps);
    }
    static void PublishUniformFrameTo(exchange::FramePublisher& producer, std::int32_t width,
                                      std::int32_t height, std::uint8_t y, std::uint8_t u,
                                      std::uint8_t v, std::uint32_t fps = 30);
    // The activation object's source, as the frame server gets it; shut down after the test.
    sdk::ComPtr<IMFMediaSource> ActivateSource() { return ActivateSource(m_activate.Get()); }
    sdk::ComPtr<IMFMediaSource> ActivateSource(IMFActivate* activate);
    // A new activation object of camera's class.
    static sdk::ComPtr<IMFActivate> ActivationOf(const camera::CameraIdentity& camera);
    // Starts the source and checks the events of a start: the stream announced (new the first
    // time), the source started, then the stream started. Returns the stream.
    static sdk::ComPtr<IMFMediaStream> StartAndExpectEvents(IMFMediaSource* source,
                                                            IMFPresentationDescriptor* descriptor,
                                                            MediaEventType announced);
    // Starts source on descriptor (its own when null) for the first time.
    static Streaming StartStreaming(sdk::ComPtr<IMFMediaSource> source,
                                    sdk::ComPtr<IMFPresentationDescriptor> descriptor = nullptr);
    // Requests one sample and waits for it.
    static sdk::ComPtr<IMFSample> NextSample(IMFMediaStream* stream);
    // Makes the offered type of subtype and size the stream's current one; null when none is.
    static sdk::ComPtr<IMFMediaType> SelectType(IMFPresentationDescriptor* descriptor,
                                                const GUID& subtype, UINT32 width, UINT32 height);
    // The next event of generator within 5 s, or null.
    static sdk::ComPtr<IMFMediaEvent> NextEvent(IMFMediaEventGenerator* generator);
    static MediaEventType TypeOf(IMFMediaEvent* event);

    exchange::FramePublisher m_producer;
    sdk::ComPtr<IMFActivate> m_activate;
    std::vector<sdk::ComPtr<IMFMediaSource>> m_sources;
};

}  // namespace orvanecam::testing
