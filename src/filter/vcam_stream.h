#pragma once
// The camera's one output pin: offers the producer's output format, renders every sample from the
// shared frame block (or the vacant picture) and declares itself a capture pin.
#include <atomic>
#include <vector>

#include "exchange/block_layout.h"
#include "filter/video_format.h"
#include "picture/render.h"
#include "streaming/source_stream.h"

namespace orvanecam::filter {

class CVCam;

class CVCamStream final : public streaming::CSourceStream,
                          public IAMStreamConfig,
                          public IKsPropertySet {
  public:
    CVCamStream(HRESULT* result, CVCam* parent, LPCWSTR pinName);
    ~CVCamStream() override;

    // One QueryInterface for all four faces; references count on the filter.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return GetOwner()->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return GetOwner()->Release(); }

    // Frame production.
    HRESULT FillBuffer(IMediaSample* sample) override;
    HRESULT OnThreadCreate() override;
    HRESULT OnThreadDestroy() override;

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

    // IKsPropertySet: the pin category, read only.
    HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                  LPVOID data, DWORD dataBytes) override;
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                  LPVOID data, DWORD dataBytes, DWORD* returned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    const streaming::CMediaType& CurrentType() const { return m_mt; }
    // Renders one frame of the current type into data (size bytes): the newest frame, a repeat or
    // the vacant picture. Returns the frame bytes, or 0 (nothing written) when size is too small.
    std::int64_t RenderFrame(std::uint8_t* data, std::int64_t size);

  private:
    // Rebuilds the one-entry format list from the producer's output format in the block.
    void RefreshFormatList();
    void FastReconfigureForResolution(std::int32_t width, std::int32_t height);
    bool Nv12Preferred() const;
    // Renders the newest frame, a repeat, or the vacant picture into the frame of media.
    void RenderSample(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media);
    void Pace();

    CVCam* m_pParent;
    std::vector<FormatEntry> m_formats;
    std::int32_t m_width = exchange::kDefaultWidth;
    std::int32_t m_height = exchange::kDefaultHeight;

    std::uint32_t m_lastSeq = 0;
    exchange::FrameSize m_lastFrameSize = exchange::kDefaultFrameSize;
    REFERENCE_TIME m_rtNext = 0;
    REFERENCE_TIME m_avgTimePerFrame = kDefaultFrameInterval;
    std::uint64_t m_lastFillTick = 0;
    picture::RenderState m_render;

    std::atomic<long> m_enterTraceCount{0};
    std::atomic<long> m_payloadTraceCount{0};
    std::atomic<long> m_vacantTraceCount{0};
    bool m_threadTraceDone = false;
    std::atomic<long> m_getMediaTypeTraceCount{0};
    std::atomic<long> m_checkTraceCount{0};
    std::atomic<long> m_decideTraceCount{0};
    std::atomic<long> m_setFormatTraceCount{0};
    std::atomic<long> m_capsTraceCount{0};
};

}  // namespace orvanecam::filter
