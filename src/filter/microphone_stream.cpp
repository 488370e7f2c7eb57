#include "filter/microphone_stream.h"

#include <algorithm>
#include <cstring>

#include "filter/audio_format.h"
#include "filter/microphone.h"

namespace orvanecam::filter {
namespace {

constexpr LONG kDefaultBufferCount = 4;
constexpr LONG kMaxBufferCount = 64;
// A buffer the graph delivers this late is sound that was never recorded: the stamps skip it
// rather than fall behind the clock for good.
constexpr std::int64_t kResynchronise100ns = 2000000;

std::uint32_t BlockAlignOf(const camera::SoundFormat& format) {
    return format.channels * sizeof(std::int16_t);
}

}  // namespace

CMicrophoneStream::CMicrophoneStream(HRESULT* result, CMicrophone* parent)
    : CSourceStream(result, parent, kMicrophonePinName),
      m_pParent(parent),
      m_feed(parent->Camera()) {
    MakeAudioType(AudioFormatAt(0), m_mt);
}

HRESULT CMicrophoneStream::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IAMStreamConfig) {
        return GetInterface(static_cast<IAMStreamConfig*>(this), object);
    }
    if (iid == IID_IAMBufferNegotiation) {
        return GetInterface(static_cast<IAMBufferNegotiation*>(this), object);
    }
    if (iid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), object);
    if (iid == IID_IAMPushSource || iid == IID_IAMLatency) {
        return GetInterface(static_cast<IAMPushSource*>(this), object);
    }
    return CSourceStream::NonDelegatingQueryInterface(iid, object);
}

camera::SoundFormat CMicrophoneStream::CurrentFormat() const {
    return AudioFormatOf(m_mt).value_or(AudioFormatAt(0));
}

std::uint32_t CMicrophoneStream::BufferFramesFor(const camera::SoundFormat& format) const {
    if (m_suggested.cbBuffer <= 0) return format.rate / 50;
    // From a millisecond to half a second: beyond that a stop would wait on a sleeping buffer.
    const auto frames = static_cast<std::uint32_t>(m_suggested.cbBuffer) / BlockAlignOf(format);
    return std::clamp(frames, format.rate / 1000, format.rate / 2);
}

REFERENCE_TIME CMicrophoneStream::DurationOf(std::int64_t frames,
                                             const camera::SoundFormat& format) {
    return frames * platform::kUnitsPerSecond / format.rate;
}

// --- negotiation ------------------------------------------------------------------------------

HRESULT CMicrophoneStream::GetMediaType(int position, streaming::CMediaType* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (position < 0) return E_INVALIDARG;
    if (m_setType.has_value()) {
        return position > 0 ? VFW_S_NO_MORE_ITEMS : mediaType->Set(*m_setType);
    }
    if (position >= kAudioTypeCount) return VFW_S_NO_MORE_ITEMS;
    return MakeAudioType(AudioFormatAt(position), *mediaType);
}

HRESULT CMicrophoneStream::CheckMediaType(const streaming::CMediaType* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    if (!streaming::IsWellFormed(*mediaType)) return VFW_E_INVALIDMEDIATYPE;
    const std::optional<camera::SoundFormat> format = AudioFormatOf(*mediaType);
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (m_setType.has_value() && AudioFormatOf(*m_setType) != format) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CMicrophoneStream::DecideBufferSize(IMemAllocator* allocator,
                                            ALLOCATOR_PROPERTIES* request) {
    if (allocator == nullptr || request == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    const camera::SoundFormat format = CurrentFormat();
    const std::uint32_t frames = BufferFramesFor(format);
    request->cbBuffer = static_cast<LONG>(frames * BlockAlignOf(format));
    request->cBuffers = m_suggested.cBuffers > 0 ? std::min(m_suggested.cBuffers, kMaxBufferCount)
                                                 : kDefaultBufferCount;
    if (m_suggested.cbAlign > 0) request->cbAlign = m_suggested.cbAlign;
    if (request->cbAlign <= 0) request->cbAlign = 1;
    if (m_suggested.cbPrefix >= 0) request->cbPrefix = m_suggested.cbPrefix;
    ALLOCATOR_PROPERTIES granted{};
    const HRESULT result = allocator->SetProperties(request, &granted);
    if (FAILED(result)) return result;
    // An allocator may grant less: each buffer then carries what fits.
    const auto fits =
        static_cast<std::uint32_t>(std::max<LONG>(granted.cbBuffer, 0)) / BlockAlignOf(format);
    if (fits == 0) return E_FAIL;
    m_bufferFrames = std::min(frames, fits);
    return S_OK;
}

// --- IAMStreamConfig --------------------------------------------------------------------------

HRESULT CMicrophoneStream::SetFormat(AM_MEDIA_TYPE* mediaType) {
    std::unique_lock<streaming::CCritSec> lock(*m_pParent->pStateLock());
    if (!m_pParent->IsStopped()) return VFW_E_NOT_STOPPED;
    if (mediaType == nullptr) {
        // Back to offering every format.
        m_setType.reset();
        return S_OK;
    }
    if (!streaming::IsWellFormed(*mediaType)) return VFW_E_INVALIDMEDIATYPE;
    const std::optional<camera::SoundFormat> format = AudioFormatOf(*mediaType);
    if (!format) return VFW_E_INVALIDMEDIATYPE;
    streaming::CMediaType proposed;
    if (FAILED(MakeAudioType(*format, proposed))) return E_OUTOFMEMORY;
    std::optional<streaming::CMediaType> previous = std::move(m_setType);
    m_setType = proposed;
    const HRESULT result = UseConnectionType(proposed, lock);
    if (FAILED(result)) m_setType = std::move(previous);
    return result;
}

HRESULT CMicrophoneStream::GetFormat(AM_MEDIA_TYPE** mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    const AM_MEDIA_TYPE& current = !IsConnected() && m_setType ? *m_setType : m_mt;
    *mediaType = streaming::CreateMediaType(&current);
    return *mediaType != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMicrophoneStream::GetNumberOfCapabilities(int* count, int* size) {
    if (count == nullptr || size == nullptr) return E_POINTER;
    *count = kAudioTypeCount;
    *size = sizeof(AUDIO_STREAM_CONFIG_CAPS);
    return S_OK;
}

HRESULT CMicrophoneStream::GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType, BYTE* caps) {
    if (mediaType == nullptr || caps == nullptr) return E_POINTER;
    if (index < 0 || index >= kAudioTypeCount) return E_INVALIDARG;
    streaming::CMediaType type;
    if (FAILED(MakeAudioType(AudioFormatAt(index), type))) return E_OUTOFMEMORY;
    *mediaType = streaming::CreateMediaType(&type);
    if (*mediaType == nullptr) return E_OUTOFMEMORY;
    const AUDIO_STREAM_CONFIG_CAPS record = AudioCapabilities();
    std::memcpy(caps, &record, sizeof(record));
    return S_OK;
}

// --- IAMBufferNegotiation, IAMLatency ------------------------------------------------------------

HRESULT CMicrophoneStream::SuggestAllocatorProperties(const ALLOCATOR_PROPERTIES* properties) {
    if (properties == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
    m_suggested = *properties;
    return S_OK;
}

HRESULT CMicrophoneStream::GetAllocatorProperties(ALLOCATOR_PROPERTIES* properties) {
    if (properties == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    if (!m_allocator) return VFW_E_NO_ALLOCATOR;
    return m_allocator->GetProperties(properties);
}

HRESULT CMicrophoneStream::GetLatency(REFERENCE_TIME* latency) {
    if (latency == nullptr) return E_POINTER;
    streaming::CAutoLock lock(*m_pParent->pStateLock());
    const camera::SoundFormat format = CurrentFormat();
    *latency = DurationOf(IsConnected() ? m_bufferFrames : BufferFramesFor(format), format);
    return S_OK;
}

// --- sound production
// -----------------------------------------------------------------------------

HRESULT CMicrophoneStream::OnThreadCreate() {
    m_fineTimer.emplace();
    return S_OK;
}

HRESULT CMicrophoneStream::OnThreadDestroy() {
    m_fineTimer.reset();
    return S_OK;
}

HRESULT CMicrophoneStream::OnThreadStartPlay() {
    m_playing = CurrentFormat();
    m_feed.Start(m_playing);
    m_framesSent = 0;
    m_started = platform::MonotonicTime100ns();
    if (FAILED(m_pParent->StreamTime(m_firstStamp))) m_firstStamp = 0;
    return S_OK;
}

HRESULT CMicrophoneStream::FillBuffer(IMediaSample* sample) {
    BYTE* data = nullptr;
    const HRESULT pointer = sample->GetPointer(&data);
    if (FAILED(pointer) || data == nullptr) return pointer;
    const camera::SoundFormat& format = m_playing;
    const std::int64_t fits = std::max<LONG>(sample->GetSize(), 0) / BlockAlignOf(format);
    const std::int64_t frames = std::min<std::int64_t>(m_bufferFrames, fits);
    if (frames <= 0) return E_FAIL;

    // A buffer leaves when its sound has been "recorded": at the end of its span of real time.
    const std::int64_t due = m_started + DurationOf(m_framesSent + frames, format);
    const std::int64_t late = platform::MonotonicTime100ns() - due;
    const bool resynchronised = late > kResynchronise100ns;
    if (resynchronised) {
        m_started += late;
        m_firstStamp += late;
    } else {
        platform::SleepUntil100ns(due);
    }
    m_feed.Fill(reinterpret_cast<std::int16_t*>(data), static_cast<std::size_t>(frames));

    REFERENCE_TIME begin = m_firstStamp + DurationOf(m_framesSent, format) + StreamOffset();
    REFERENCE_TIME end = m_firstStamp + DurationOf(m_framesSent + frames, format) + StreamOffset();
    sample->SetTime(&begin, &end);
    sample->SetActualDataLength(static_cast<LONG>(frames * BlockAlignOf(format)));
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(m_framesSent == 0 || resynchronised ? TRUE : FALSE);
    m_framesSent += frames;
    return S_OK;
}

}  // namespace orvanecam::filter
