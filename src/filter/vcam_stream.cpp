#include "filter/vcam_stream.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "exchange/reader.h"
#include "filter/trace.h"
#include "filter/vcam.h"
#include "picture/vacant_picture.h"
#include "platform/clock.h"

namespace orvanecam::filter {
namespace {

constexpr LONG kBuffersPerAllocator = 3;
constexpr int kCapsRecordBytes = sizeof(VIDEO_STREAM_CONFIG_CAPS);

exchange::FrameReader& Reader() {
    return exchange::ReaderExchange();
}

const char* SubtypeWord(bool yuy2) {
    return yuy2 ? "YUY2" : "NV12";
}

// The producer's orientation settings, read at each render.
picture::Orientation OrientationOf(exchange::SharedBlock* block) {
    if (block == nullptr) return {};
    return {exchange::Atomic(block->mirror).load() != 0, exchange::Atomic(block->flip).load() != 0,
            exchange::Atomic(block->rotation).load()};
}

}  // namespace

CVCamStream::CVCamStream(HRESULT* result, CVCam* parent, LPCWSTR pinName)
    : CSourceStream("OrvaneCam stream", result, parent, pinName), m_pParent(parent) {
    RefreshFormatList();
    GetMediaType(0, &m_mt);
    TraceMediaType("ctor initial m_mt", &m_mt);
}

CVCamStream::~CVCamStream() {
    m_formats.clear();
}

HRESULT CVCamStream::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IAMStreamConfig)
        return GetInterface(static_cast<IAMStreamConfig*>(this), object);
    if (iid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), object);
    return GetOwner()->QueryInterface(iid, object);
}

// --- format catalogue -----------------------------------------------------------------------

void CVCamStream::RefreshFormatList() {
    m_formats.clear();
    exchange::OutputSettings settings{exchange::kDefaultWidth, exchange::kDefaultHeight,
                                      exchange::kDefaultFps, 1u};
    exchange::FrameReader& reader = Reader();
    if (reader.OpenReaderBlock()) {
        settings = reader.ReadOutputSettings();
        exchange::SharedBlock& block = *reader.Block();
        if (exchange::Atomic(block.outFps).load() < 1) {
            exchange::Atomic(block.outFps).store(exchange::kDefaultFps);
        }
        if (exchange::Atomic(block.nv12First).load() > 1u)
            exchange::Atomic(block.nv12First).store(1u);
    }
    const std::int32_t fps = settings.fps < 1 ? exchange::kDefaultFps : std::min(settings.fps, 120);
    const exchange::FrameSize size = exchange::ValidOutputSize(settings.width, settings.height);
    m_width = size.width;
    m_height = size.height;
    m_formats.push_back({size.width, size.height, 10000000 / fps});
}

bool CVCamStream::Nv12Preferred() const {
    exchange::SharedBlock* block = Reader().Block();
    return block == nullptr || exchange::Atomic(block->nv12First).load() != 0;
}

HRESULT CVCamStream::GetMediaType(int position, streaming::CMediaType* mediaType) {
    RefreshFormatList();
    if (position < 0) return E_INVALIDARG;
    const int count = static_cast<int>(m_formats.size());
    if (position >= count * 4) return VFW_S_NO_MORE_ITEMS;
    const int group = position / count;
    const int index = position % count;
    const bool nv12 = (group < 2) == Nv12Preferred();
    const FormatLayout layout =
        group % 2 == 0 ? FormatLayout::kVideoInfo : FormatLayout::kVideoInfo2;
    if (WithinTraceLimit(m_getMediaTypeTraceCount, 8)) {
        TraceLine(256,
                  "[OrvaneCam2Dbg] GetMediaType pos=%d fmtIndex=%d group=%d subtype=%s fmt=%s "
                  "fmtCount=%d\n",
                  position, index, group, SubtypeWord(!nv12),
                  layout == FormatLayout::kVideoInfo ? "VideoInfo" : "VideoInfo2", count);
    }
    return BuildVideoType(m_formats[static_cast<std::size_t>(index)], !nv12, layout, *mediaType);
}

HRESULT CVCamStream::CheckMediaType(const streaming::CMediaType* mediaType) {
    if (mediaType == nullptr) return E_FAIL;
    if (WithinTraceLimit(m_checkTraceCount, 10))
        TraceMediaType("CheckMediaType request", mediaType);
    if (mediaType->majortype != MEDIATYPE_Video) return E_INVALIDARG;
    if (mediaType->formattype != FORMAT_VideoInfo && mediaType->formattype != FORMAT_VideoInfo2) {
        return E_INVALIDARG;
    }
    const bool yuy2 = IsYuy2(*mediaType);
    if (!yuy2 && mediaType->subtype != MEDIASUBTYPE_NV12) return E_INVALIDARG;
    const BITMAPINFOHEADER* header = BitmapHeaderOf(*mediaType);
    if (header == nullptr) return E_INVALIDARG;
    if (header->biCompression != (yuy2 ? kFourccYuy2 : kFourccNv12)) return E_INVALIDARG;
    const std::int64_t width = header->biWidth;
    const std::int64_t height = std::llabs(static_cast<std::int64_t>(header->biHeight));
    if (width < 1 || width > 4096 || height < 1 || height > 4096 || width % 2 != 0) {
        return E_INVALIDARG;
    }
    if (!yuy2 && height % 2 != 0) return E_INVALIDARG;
    return S_OK;
}

HRESULT CVCamStream::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (allocator == nullptr || request == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    request->cBuffers = kBuffersPerAllocator;
    request->cbBuffer = FrameBytes(m_mt);
    if (WithinTraceLimit(m_decideTraceCount, 6)) {
        const BITMAPINFOHEADER* header = BitmapHeaderOf(m_mt);
        TraceLine(
            256,
            "[OrvaneCam2Dbg] DecideBufferSize subtype=%s media=%dx%d cbBuffer=%lu cBuffers=%ld\n",
            SubtypeWord(IsYuy2(m_mt)), header != nullptr ? static_cast<int>(header->biWidth) : 0,
            header != nullptr ? std::abs(static_cast<int>(header->biHeight)) : 0,
            static_cast<unsigned long>(request->cbBuffer), static_cast<long>(kBuffersPerAllocator));
    }
    ALLOCATOR_PROPERTIES granted{};
    const HRESULT result = allocator->SetProperties(request, &granted);
    if (FAILED(result)) return result;
    return granted.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

void CVCamStream::FastReconfigureForResolution(std::int32_t width, std::int32_t height) {
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (width == m_width && height == m_height) return;
    m_width = width;
    m_height = height;
    m_formats.assign(1, FormatEntry{width, height, kDefaultFrameInterval});
    streaming::CMediaType first;
    if (SUCCEEDED(GetMediaType(0, &first))) m_mt = first;
}

// --- IAMStreamConfig --------------------------------------------------------------------------

HRESULT CVCamStream::SetFormat(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr || !m_pParent->IsStopped()) return E_FAIL;
    const bool traced = WithinTraceLimit(m_setFormatTraceCount, 6);
    if (traced) TraceMediaType("SetFormat request", mediaType);
    const streaming::CMediaType proposed(*mediaType);
    const HRESULT check = CheckMediaType(&proposed);
    if (check != S_OK) {
        if (traced)
            TraceLine(128, "[OrvaneCam2Dbg] SetFormat rejected hr=0x%08X\n",
                      static_cast<unsigned>(check));
        return E_FAIL;
    }
    SetMediaType(&proposed);
    const BITMAPINFOHEADER* header = BitmapHeaderOf(proposed);
    const std::int32_t width = header->biWidth;
    const std::int32_t height = std::abs(header->biHeight);
    FastReconfigureForResolution(width, height);
    if (traced) {
        TraceLine(192, "[OrvaneCam2Dbg] SetFormat accepted -> FastReconfigureForResolution %dx%d\n",
                  width, height);
    }
    return S_OK;
}

HRESULT CVCamStream::GetFormat(AM_MEDIA_TYPE** mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    *mediaType = streaming::CreateMediaType(&m_mt);
    if (*mediaType == nullptr) return E_OUTOFMEMORY;
    TraceMediaType("GetFormat return", *mediaType);
    return S_OK;
}

HRESULT CVCamStream::GetNumberOfCapabilities(int* count, int* size) {
    if (count == nullptr || size == nullptr) return E_POINTER;
    RefreshFormatList();
    *count = static_cast<int>(m_formats.size()) * 2;
    *size = kCapsRecordBytes;
    return S_OK;
}

HRESULT CVCamStream::GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType, BYTE* caps) {
    if (mediaType == nullptr || caps == nullptr) return E_POINTER;
    RefreshFormatList();
    const int count = static_cast<int>(m_formats.size());
    if (index < 0 || index >= count * 2) return E_INVALIDARG;
    const int entryIndex = index % count;
    const bool yuy2 = (index >= count) == Nv12Preferred();
    const FormatEntry& entry = m_formats[static_cast<std::size_t>(entryIndex)];
    const REFERENCE_TIME interval =
        entry.avgTimePerFrame >= 1 ? entry.avgTimePerFrame : kDefaultFrameInterval;
    if (WithinTraceLimit(m_capsTraceCount, 8)) {
        TraceLine(192,
                  "[OrvaneCam2Dbg] GetStreamCaps index=%d fmtIndex=%d subtype=%s fmtCount=%d\n",
                  index, entryIndex, SubtypeWord(yuy2), count);
    }
    // A fresh type with its own 88-byte block, whatever block the connection type has.
    streaming::CMediaType type;
    if (FAILED(BuildVideoType({entry.width, entry.height, interval}, yuy2, FormatLayout::kVideoInfo,
                              type))) {
        return E_OUTOFMEMORY;
    }
    type.bFixedSizeSamples = FALSE;
    *mediaType = streaming::CreateMediaType(&type);
    if (*mediaType == nullptr) return E_OUTOFMEMORY;

    const std::uint32_t imageBytes =
        reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader.biSizeImage;
    VIDEO_STREAM_CONFIG_CAPS record;
    std::memcpy(&record, caps, sizeof(record));  // the taps keep what the caller had
    record.guid = FORMAT_VideoInfo;
    record.VideoStandard = 0;
    record.InputSize = record.MinCroppingSize =
        record.MaxCroppingSize = {entry.width, entry.height};
    record.CropGranularityX = entry.width;
    record.CropGranularityY = entry.height;
    record.CropAlignX = record.CropAlignY = 0;
    record.MinOutputSize = record.MaxOutputSize = {entry.width, entry.height};
    record.OutputGranularityX = record.OutputGranularityY = 0;
    record.MinFrameInterval = record.MaxFrameInterval = interval;
    const std::uint32_t bitsPerSecond =
        static_cast<std::uint32_t>(10000000 / interval) * imageBytes * 8u;
    record.MinBitsPerSecond = record.MaxBitsPerSecond = static_cast<LONG>(bitsPerSecond);
    std::memcpy(caps, &record, sizeof(record));
    return S_OK;
}

// --- IKsPropertySet ---------------------------------------------------------------------------

HRESULT CVCamStream::Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) {
    return E_NOTIMPL;
}

HRESULT CVCamStream::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD dataBytes,
                         DWORD* returned) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (data == nullptr && returned == nullptr) return E_POINTER;
    if (returned != nullptr) *returned = sizeof(GUID);
    if (data == nullptr) return S_OK;
    if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(data, &PIN_CATEGORY_CAPTURE, sizeof(GUID));
    return S_OK;
}

HRESULT CVCamStream::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// --- frame production ---------------------------------------------------------------------------

HRESULT CVCamStream::OnThreadCreate() {
    m_rtNext = 0;
    m_avgTimePerFrame = FrameIntervalOf(m_mt);
    m_lastFillTick = platform::TickCountMs();
    exchange::FrameReader& reader = Reader();
    reader.OpenReaderEvent();
    m_lastSeq = reader.CurrentSeq();
    m_lastFrameSize = reader.ReadOutputFormat();
    if (!m_threadTraceDone) {
        m_threadTraceDone = true;
        TraceMediaType("OnThreadCreate m_mt", &m_mt);
    }
    return S_OK;
}

HRESULT CVCamStream::OnThreadDestroy() {
    Reader().ReleaseFrameOnStop();
    return S_OK;
}

void CVCamStream::Pace() {
    const std::uint64_t wait =
        std::max<std::uint64_t>(static_cast<std::uint64_t>(m_avgTimePerFrame / 10000), 1);
    const std::uint64_t elapsed = platform::TickCountMs() - m_lastFillTick;
    if (elapsed < wait) platform::SleepMs(static_cast<std::uint32_t>(wait - elapsed));
    m_lastFillTick = platform::TickCountMs();
}

void CVCamStream::RenderSample(std::uint8_t* data, std::size_t size,
                               const picture::MediaFrame& media) {
    exchange::FrameReader& reader = Reader();
    exchange::SharedBlock* block = reader.Block();
    const exchange::PayloadDecision decision = reader.CheckPayload();
    const picture::Orientation orientation = OrientationOf(block);
    if (!decision.payload) {
        if (WithinTraceLimit(m_vacantTraceCount, 2)) {
            TraceLine(256,
                      "[OrvaneCam2Dbg] FillBuffer vacant path subtype=%s hasPayload=%ld shm=%p "
                      "customVacant=%ld\n",
                      SubtypeWord(media.format == picture::SampleFormat::kYuy2),
                      static_cast<long>(decision.hasPayload), static_cast<void*>(block),
                      block != nullptr
                          ? static_cast<long>(exchange::Atomic(block->customVacant).load())
                          : 0L);
        }
        picture::ProcessVacantPicture().Render(m_render, block, orientation, data, size, media);
        return;
    }
    reader.OpenReaderEvent();
    const std::uint32_t seq = reader.WaitForNewFrame(m_lastSeq);
    if (seq == m_lastSeq) {
        // A repeat: the last frame this stream took, at the size it had then.
        picture::RenderToSample(m_render, block->lastFrameArea, m_lastFrameSize.width,
                                m_lastFrameSize.height, orientation, data, size, media);
        return;
    }
    const exchange::RenderedFrame frame =
        reader.RenderNewFrame([&](const std::uint8_t* source, exchange::FrameSize frameSize) {
            picture::RenderToSample(m_render, source, frameSize.width, frameSize.height,
                                    orientation, data, size, media);
        });
    if (WithinTraceLimit(m_payloadTraceCount, 2)) {
        TraceLine(256,
                  "[OrvaneCam2Dbg] FillBuffer payload path subtype=%s src=%dx%d dst=%dx%d seq=%ld "
                  "lastSeq=%ld\n",
                  SubtypeWord(media.format == picture::SampleFormat::kYuy2), frame.size.width,
                  frame.size.height, media.width, media.height, static_cast<long>(frame.seq),
                  static_cast<long>(m_lastSeq));
    }
    reader.TakeFrame(m_lastSeq, frame);
    m_lastFrameSize = frame.size;
}

std::int64_t CVCamStream::RenderFrame(std::uint8_t* data, std::int64_t size) {
    const BITMAPINFOHEADER* header = BitmapHeaderOf(m_mt);
    const picture::MediaFrame media{
        header != nullptr ? static_cast<std::int32_t>(header->biWidth) : 0,
        header != nullptr ? std::abs(static_cast<std::int32_t>(header->biHeight)) : 0,
        IsYuy2(m_mt) ? picture::SampleFormat::kYuy2 : picture::SampleFormat::kNv12};
    const auto frameBytes = static_cast<std::int64_t>(picture::FrameBytes(media));
    if (WithinTraceLimit(m_enterTraceCount, 3)) {
        TraceLine(256,
                  "[OrvaneCam2Dbg] FillBuffer enter subtype=%s media=%dx%d sampleBuf=%d "
                  "frameBytes=%d hasShm=%d\n",
                  SubtypeWord(media.format == picture::SampleFormat::kYuy2), media.width,
                  media.height, static_cast<int>(size), static_cast<int>(frameBytes),
                  Reader().Block() != nullptr ? 1 : 0);
    }
    if (size < frameBytes) return 0;
    RenderSample(data, static_cast<std::size_t>(size), media);
    return frameBytes;
}

HRESULT CVCamStream::FillBuffer(IMediaSample* sample) {
    m_avgTimePerFrame = FrameIntervalOf(m_mt);
    Pace();
    BYTE* data = nullptr;
    const HRESULT pointer = sample->GetPointer(&data);
    if (FAILED(pointer) || data == nullptr) return pointer;
    const std::int64_t frameBytes = RenderFrame(data, sample->GetSize());
    if (frameBytes == 0) return E_FAIL;

    sample->SetActualDataLength(static_cast<LONG>(frameBytes));
    sample->SetSyncPoint(TRUE);
    REFERENCE_TIME start = m_rtNext;
    REFERENCE_TIME end = start + m_avgTimePerFrame;
    m_rtNext = end;
    sample->SetTime(&start, &end);
    return S_OK;
}

}  // namespace orvanecam::filter
