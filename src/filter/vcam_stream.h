#pragma once
// The camera's one output pin, the COM face of the format catalogue, the sample source and the
// live schedule: offers the producer's output format and common sizes, delivers samples only while
// the graph runs, stamped with the graph's clock, and declares itself a live capture pin.
#include <atomic>
#include <optional>

#include "camera/live_sampler.h"
#include "camera/sample_source.h"
#include "filter/capture_pin_faces.h"
#include "filter/format_catalogue.h"
#include "filter/trace.h"
#include "platform/clock.h"
#include "streaming/source_stream.h"

namespace orvanecam::filter {

class CVCam;

// Threads: negotiation (IPin, IAMStreamConfig) on client threads under the filter's state lock;
// m_mt changes only while the filter is stopped, so the streaming thread reads it unlocked;
// m_feed, m_sampler and m_fineTimer are the streaming thread's alone (RenderFrame, for
// benchmarks, only while the filter is stopped); the counters are atomic.
class CVCamStream final : public streaming::CSourceStream,
                          public IAMStreamConfig,
                          public CapturePinFaces,
                          public IAMDroppedFrames {
  public:
    CVCamStream(HRESULT* result, CVCam* parent, LPCWSTR pinName);

    // Every face's IUnknown is the pin's; references count on the filter.
    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // Frame production.
    bool IsLive() const override { return true; }
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;
    HRESULT OnThreadStartPlay() override;

    // Format catalogue and negotiation.
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

    // IAMLatency: one frame behind.
    HRESULT STDMETHODCALLTYPE GetLatency(REFERENCE_TIME* latency) override;

    // IAMDroppedFrames: slots the schedule skipped, and samples delivered, since the last run.
    HRESULT STDMETHODCALLTYPE GetNumDropped(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetNumNotDropped(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetDroppedInfo(LONG size, LONG* frames, LONG* copied) override;
    HRESULT STDMETHODCALLTYPE GetAverageFrameSize(LONG* size) override;

    const streaming::CMediaType& CurrentType() const { return m_mt; }
    // Renders one frame of the current type into data (size bytes): the newest frame, a repeat or
    // the vacant picture, without pacing. Returns the frame bytes, or 0 when size is too small.
    std::int64_t RenderFrame(std::uint8_t* data, std::int64_t size);

  private:
    picture::MediaFrame CurrentMedia() const;
    void TraceEntry(std::int64_t size, const picture::MediaFrame& media);
    REFERENCE_TIME StampOf(const camera::LiveSchedule::Slot& slot);

    CVCam* m_pParent;
    exchange::FrameReader& m_reader;  // the parent's camera's
    // The type SetFormat chose: then the only one offered and accepted.
    std::optional<streaming::CMediaType> m_setType;

    camera::SampleSource m_feed;
    camera::LiveSampler m_sampler;
    std::optional<platform::FineTimerScope> m_fineTimer;
    std::atomic<long> m_droppedFrames{0};
    std::atomic<long> m_deliveredFrames{0};

    TracePoint m_enterTrace{3};
    bool m_threadTraceDone = false;
    TracePoint m_getMediaTypeTrace{8};
    TracePoint m_checkTrace{10};
    TracePoint m_decideTrace{6};
    TracePoint m_setFormatTrace{6};
    TracePoint m_capsTrace{8};
};

}  // namespace orvanecam::filter
