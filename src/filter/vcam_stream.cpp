#include "filter/vcam_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "filter/vcam.h"
#include "geometry/picture_geometry.h"

namespace orvanecam::filter {
namespace {

constexpr LONG kBuffersPerAllocator = 3;
constexpr int kCapsRecordBytes = sizeof(VIDEO_STREAM_CONFIG_CAPS);

int TraceHeight(const BITMAPINFOHEADER* header) {
    return header != nullptr ? PictureHeight32(*header) : 0;
}

// The type SetFormat chose admits a connection type of the same subtype and picture size.
bool SamePicture(const AM_MEDIA_TYPE& chosen, const AM_MEDIA_TYPE& proposed) {
    const BITMAPINFOHEADER* a = BitmapHeaderOf(chosen);
    const BITMAPINFOHEADER* b = BitmapHeaderOf(proposed);
    return a != nullptr && b != nullptr && chosen.subtype == proposed.subtype &&
           a->biWidth == b->biWidth && PictureHeight(*a) == PictureHeight(*b);
}

}  // namespace

CVCamStream::CVCamStream(HRESULT* result, CVCam* parent, LPCWSTR pinName)
    : CSourceStream(result, parent, pinName),
      m_pParent(parent),
      m_reader(exchange::ReaderExchange(parent->Camera().Objects())),
      m_feed(parent->Camera()),
      m_sampler(m_feed) {
    ReadCatalogue(m_reader).TypeAt(0, m_mt);
    TraceMediaType("ctor initial m_mt", &m_mt);
}

HRESULT CVCamStream::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IAMStreamConfig)
        return GetInterface(static_cast<IAMStreamConfig*>(this), object);
    if (iid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), object);
    if (iid == IID_IAMPushSource || iid == IID_IAMLatency) {
        return GetInterface(static_cast<IAMPushSource*>(this), object);
    }
    if (iid == IID_IAMDroppedFrames) {
        return GetInterface(static_cast<IAMDroppedFrames*>(this), object);
    }
    return CSourceStream::NonDelegatingQueryInterface(iid, object);
}

// --- format catalogue -----------------------------------------------------------------------

HRESULT CVCamStream::GetMediaType(int position, streaming::CMediaType* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (position < 0) return E_INVALIDARG;
    if (m_setType.has_value()) {
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        return mediaType->Set(*m_setType);
    }
    const FormatCatalogue catalogue = ReadCatalogue(m_reader);
    if (position < catalogue.TypeCount() && m_getMediaTypeTrace.Take()) {
        const int group = position / catalogue.SizeCount();
        TraceLine(256,
                  "[OrvaneCam2Dbg] GetMediaType pos=%d fmtIndex=%d group=%d subtype=%s fmt=%s "
                  "fmtCount=%d\n",
                  position, position % catalogue.SizeCount(), group,
                  geometry::SampleFormatName(catalogue.GroupFormat(group)),
                  group % 2 == 0 || group >= 4 ? "VideoInfo" : "VideoInfo2", catalogue.SizeCount());
    }
    return catalogue.TypeAt(position, *mediaType);
}

HRESULT CVCamStream::CheckMediaType(const streaming::CMediaType* mediaType) {
    if (mediaType == nullptr) return E_FAIL;
    if (m_checkTrace.Take()) TraceMediaType("CheckMediaType request", mediaType);
    const HRESULT check = CheckVideoType(*mediaType);
    if (check != S_OK) return check;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (m_setType.has_value() && !SamePicture(*m_setType, *mediaType)) return E_INVALIDARG;
    return S_OK;
}

HRESULT CVCamStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (allocator == nullptr || request == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    const std::int64_t frameBytes = FrameBytes(m_mt);
    if (frameBytes <= 0 || frameBytes > LONG_MAX) return E_FAIL;
    request->cBuffers = kBuffersPerAllocator;
    request->cbBuffer = static_cast<LONG>(frameBytes);
    if (m_decideTrace.Take()) {
        const BITMAPINFOHEADER* header = BitmapHeaderOf(m_mt);
        TraceLine(
            256,
            "[OrvaneCam2Dbg] DecideBufferSize subtype=%s media=%dx%d cbBuffer=%lu cBuffers=%ld\n",
            geometry::SampleFormatName(SampleFormatOf(m_mt)),
            header != nullptr ? static_cast<int>(header->biWidth) : 0, TraceHeight(header),
            static_cast<unsigned long>(request->cbBuffer), static_cast<long>(kBuffersPerAllocator));
    }
    ALLOCATOR_PROPERTIES granted{};
    const HRESULT result = allocator->SetProperties(request, &granted);
    if (FAILED(result)) return result;
    return granted.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

// --- IAMStreamConfig --------------------------------------------------------------------------

HRESULT CVCamStream::SetFormat(AM_MEDIA_TYPE* mediaType) {
    std::unique_lock<streaming::CCritSec> lock(*m_pParent->pStateLock());
    if (!m_pParent->IsStopped()) return VFW_E_NOT_STOPPED;
    if (mediaType == nullptr) {
        // Back to offering the whole catalogue.
        m_setType.reset();
        return S_OK;
    }
    const bool traced = m_setFormatTrace.Take();
    if (!streaming::IsWellFormed(*mediaType)) return VFW_E_INVALIDMEDIATYPE;
    if (traced) TraceMediaType("SetFormat request", mediaType);
    streaming::CMediaType proposed;
    const REFERENCE_TIME cameraInterval = ReadCatalogue(m_reader).Entry(0).avgTimePerFrame;
    const HRESULT check = NormaliseVideoType(*mediaType, cameraInterval, proposed);
    if (check != S_OK) {
        if (traced) {
            TraceLine(128, "[OrvaneCam2Dbg] SetFormat rejected hr=0x%08X\n",
                      static_cast<unsigned>(check));
        }
        return check == E_OUTOFMEMORY ? check : VFW_E_INVALIDMEDIATYPE;
    }
    if (traced) TraceMediaType("SetFormat normalised", &proposed);
    std::optional<streaming::CMediaType> previous = std::move(m_setType);
    m_setType = proposed;
    const HRESULT result = UseConnectionType(proposed, lock);
    if (FAILED(result)) {
        m_setType = std::move(previous);
        return result;
    }
    if (traced) {
        const BITMAPINFOHEADER* header = BitmapHeaderOf(proposed);
        TraceLine(192, "[OrvaneCam2Dbg] SetFormat accepted -> FastReconfigureForResolution %dx%d\n",
                  static_cast<int>(header->biWidth), TraceHeight(header));
    }
    return S_OK;
}

HRESULT CVCamStream::GetFormat(AM_MEDIA_TYPE** mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    streaming::CMediaType first;
    const AM_MEDIA_TYPE* current = &m_mt;
    if (!IsConnected()) {
        if (m_setType.has_value()) {
            current = &*m_setType;
        } else {
            if (FAILED(ReadCatalogue(m_reader).TypeAt(0, first))) return E_OUTOFMEMORY;
            current = &first;
        }
    }
    *mediaType = streaming::CreateMediaType(current);
    if (*mediaType == nullptr) return E_OUTOFMEMORY;
    TraceMediaType("GetFormat return", *mediaType);
    return S_OK;
}

HRESULT CVCamStream::GetNumberOfCapabilities(int* count, int* size) {
    if (count == nullptr || size == nullptr) return E_POINTER;
    *count = ReadCatalogue(m_reader).CapabilityCount();
    *size = kCapsRecordBytes;
    return S_OK;
}

HRESULT CVCamStream::GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType, BYTE* caps) {
    if (mediaType == nullptr || caps == nullptr) return E_POINTER;
    const FormatCatalogue catalogue = ReadCatalogue(m_reader);
    if (index < 0 || index >= catalogue.CapabilityCount()) return E_INVALIDARG;
    streaming::CMediaType type;
    VIDEO_STREAM_CONFIG_CAPS record{};
    const HRESULT result = catalogue.CapabilityAt(index, type, record);
    if (FAILED(result)) return result;
    if (m_capsTrace.Take()) {
        TraceLine(192,
                  "[OrvaneCam2Dbg] GetStreamCaps index=%d fmtIndex=%d subtype=%s fmtCount=%d\n",
                  index, index % catalogue.SizeCount(),
                  geometry::SampleFormatName(SampleFormatOf(type)), catalogue.SizeCount());
    }
    *mediaType = streaming::CreateMediaType(&type);
    if (*mediaType == nullptr) return E_OUTOFMEMORY;
    std::memcpy(caps, &record, sizeof(record));
    return S_OK;
}

// --- IAMLatency, IAMDroppedFrames -----------------------------------------------------------

HRESULT CVCamStream::GetLatency(REFERENCE_TIME* latency) {
    if (latency == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    *latency = FrameIntervalOf(m_mt);
    return S_OK;
}

HRESULT CVCamStream::GetNumDropped(LONG* count) {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<LONG>(m_droppedFrames.load());
    return S_OK;
}

HRESULT CVCamStream::GetNumNotDropped(LONG* count) {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<LONG>(m_deliveredFrames.load());
    return S_OK;
}

HRESULT CVCamStream::GetDroppedInfo(LONG size, LONG* frames, LONG* copied) {
    if (frames == nullptr || copied == nullptr) return E_POINTER;
    if (size <= 0) return E_INVALIDARG;
    // Which slots were skipped is not kept, only how many.
    *copied = 0;
    return S_OK;
}

HRESULT CVCamStream::GetAverageFrameSize(LONG* size) {
    if (size == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    *size = static_cast<LONG>(FrameBytes(m_mt));
    return S_OK;
}

// --- frame production ---------------------------------------------------------------------------

HRESULT CVCamStream::OnThreadCreate() {
    m_fineTimer.emplace();
    if (!m_threadTraceDone) {
        m_threadTraceDone = true;
        TraceMediaType("OnThreadCreate m_mt", &m_mt);
    }
    return S_OK;
}

HRESULT CVCamStream::OnThreadStartPlay() {
    m_sampler.Begin(FrameIntervalOf(m_mt));
    m_droppedFrames.store(0);
    m_deliveredFrames.store(0);
    return S_OK;
}

HRESULT CVCamStream::OnThreadDestroy() {
    m_sampler.End();
    m_fineTimer.reset();
    return S_OK;
}

picture::MediaFrame CVCamStream::CurrentMedia() const {
    const BITMAPINFOHEADER* header = BitmapHeaderOf(m_mt);
    if (header == nullptr) return {0, 0, picture::SampleFormat::kNv12};
    // Accepted types are within 4096 x 4096; an RGB type with a negative height is top-down.
    return {static_cast<std::int32_t>(header->biWidth), PictureHeight32(*header),
            SampleFormatOf(m_mt), header->biHeight < 0};
}

void CVCamStream::TraceEntry(std::int64_t size, const picture::MediaFrame& media) {
    if (!m_enterTrace.Take()) return;
    TraceLine(256,
              "[OrvaneCam2Dbg] FillBuffer enter subtype=%s media=%dx%d sampleBuf=%d "
              "frameBytes=%d hasShm=%d\n",
              geometry::SampleFormatName(media.format), media.width, media.height,
              static_cast<int>(size), static_cast<int>(picture::FrameBytes(media)),
              m_reader.Block() != nullptr ? 1 : 0);
}

std::int64_t CVCamStream::RenderFrame(std::uint8_t* data, std::int64_t size) {
    const picture::MediaFrame media = CurrentMedia();
    TraceEntry(size, media);
    if (size <= 0 || !m_sampler.RenderNow({data, static_cast<std::size_t>(size)}, media)) return 0;
    return static_cast<std::int64_t>(picture::FrameBytes(media));
}

REFERENCE_TIME CVCamStream::StampOf(const camera::LiveSchedule::Slot& slot) {
    // The stream time at capture when the graph has a clock, else the schedule's time.
    REFERENCE_TIME start = 0;
    if (FAILED(m_pParent->StreamTime(start))) start = slot.index * m_sampler.Schedule().Interval();
    return start + StreamOffset();
}

HRESULT CVCamStream::FillBuffer(IMediaSample* sample) {
    BYTE* data = nullptr;
    const HRESULT pointer = sample->GetPointer(&data);
    if (FAILED(pointer) || data == nullptr) return pointer;
    const picture::MediaFrame media = CurrentMedia();
    const std::int64_t size = std::max<std::int64_t>(sample->GetSize(), 0);
    TraceEntry(size, media);

    const camera::LiveSchedule::Slot slot = m_sampler.WaitForSlot();
    const REFERENCE_TIME start = StampOf(slot);
    const bool delivered = m_sampler.Deliver(slot, {data, static_cast<std::size_t>(size)}, media);
    m_droppedFrames.store(static_cast<long>(m_sampler.Schedule().DroppedCount()));
    m_deliveredFrames.store(static_cast<long>(m_sampler.Schedule().DeliveredCount()));
    if (!delivered) return E_FAIL;

    sample->SetActualDataLength(static_cast<LONG>(picture::FrameBytes(media)));
    sample->SetSyncPoint(TRUE);
    REFERENCE_TIME begin = start;
    REFERENCE_TIME end = start + m_sampler.Schedule().Interval();
    sample->SetTime(&begin, &end);
    return S_OK;
}

}  // namespace orvanecam::filter
