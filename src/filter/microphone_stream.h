#pragma once
// The microphone's output pin: offers 16-bit PCM at 48 kHz stereo (the camera's own sound), 48 kHz
// mono and 44.1 kHz stereo and mono; lets the client choose the buffer size
// (IAMBufferNegotiation); while the graph runs, delivers one buffer of sound each buffer's
// duration, in real time, stamped with the graph's clock without gaps between buffers, and
// silence whenever no producer sends.
#include <optional>

#include "camera/microphone_feed.h"
#include "filter/capture_pin_faces.h"
#include "platform/clock.h"
#include "streaming/source_stream.h"

namespace orvanecam::filter {

class CMicrophone;

// Threads: negotiation (IPin, IAMStreamConfig, IAMBufferNegotiation) on client threads under the
// filter's state lock; m_mt and m_bufferFrames change only while the filter is stopped, so the
// streaming thread reads them unlocked; the feed and the pacing are the streaming thread's alone.
class CMicrophoneStream final : public streaming::CSourceStream,
                                public IAMStreamConfig,
                                public IAMBufferNegotiation,
                                public CapturePinFaces {
  public:
    CMicrophoneStream(HRESULT* result, CMicrophone* parent);

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    bool IsLive() const override { return true; }
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;

    HRESULT GetMediaType(int position, streaming::CMediaType* mediaType) override;
    HRESULT CheckMediaType(const streaming::CMediaType* mediaType) override;
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    using streaming::CSourceStream::GetMediaType;

    // IAMStreamConfig
    HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* mediaType) override;
    HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** mediaType) override;
    HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* count, int* size) override;
    HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType,
                                            BYTE* caps) override;

    // IAMBufferNegotiation: a suggestion before connecting; the allocator's once connected.
    HRESULT STDMETHODCALLTYPE
    SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorProperties(ALLOCATOR_PROPERTIES* properties) override;

    // IAMLatency: one buffer behind.
    HRESULT STDMETHODCALLTYPE GetLatency(REFERENCE_TIME* latency) override;

  private:
    camera::SoundFormat CurrentFormat() const;
    // The frames of one buffer of format: the client's suggestion when it made one, else 20 ms.
    std::uint32_t BufferFramesFor(const camera::SoundFormat& format) const;
    static REFERENCE_TIME DurationOf(std::int64_t frames, const camera::SoundFormat& format);

    CMicrophone* m_pParent;
    // The type SetFormat chose: then the only one offered and accepted.
    std::optional<streaming::CMediaType> m_setType;
    ALLOCATOR_PROPERTIES m_suggested{-1, -1, -1, -1};
    std::uint32_t m_bufferFrames = 0;

    camera::MicrophoneFeed m_feed;
    std::optional<platform::FineTimerScope> m_fineTimer;
    // Pacing: the format read from m_mt when the graph ran (so no buffer parses it again), frames
    // delivered since, the clock when it ran and the stream time of the first frame.
    camera::SoundFormat m_playing = camera::kRingSoundFormat;
    std::int64_t m_framesSent = 0;
    std::int64_t m_started = 0;
    REFERENCE_TIME m_firstStamp = 0;
};

}  // namespace orvanecam::filter
