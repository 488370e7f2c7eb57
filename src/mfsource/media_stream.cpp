#include "mfsource/media_stream.h"

namespace orvanecam::mfsource {
namespace {

// Samples a client holds at once: the source reader one or two, a frame server a few.
constexpr std::size_t kPoolSize = 6;

}  // namespace

CameraMediaStream::CameraMediaStream(const camera::CameraIdentity& camera, IMFMediaSource* source,
                                     IMFStreamDescriptor* descriptor)
    : streaming::CUnknown(nullptr),
      m_source(sdk::ComPtr<IMFMediaSource>::Share(source)),
      m_descriptor(sdk::ComPtr<IMFStreamDescriptor>::Share(descriptor)),
      m_feed(camera),
      m_sampler(m_feed) {}

CameraMediaStream::~CameraMediaStream() {
    StopWorker();
}

HRESULT CameraMediaStream::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IMFMediaStream || iid == sdk::IID_IMFMediaStream2 ||
        iid == IID_IMFMediaEventGenerator) {
        return GetInterface(static_cast<sdk::IMFMediaStream2*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CameraMediaStream::GetMediaSource(IMFMediaSource** source) {
    if (source == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    *source = sdk::ComPtr<IMFMediaSource>(m_source).Detach();
    return S_OK;
}

HRESULT CameraMediaStream::GetStreamDescriptor(IMFStreamDescriptor** descriptor) {
    if (descriptor == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    *descriptor = sdk::ComPtr<IMFStreamDescriptor>(m_descriptor).Detach();
    return S_OK;
}

HRESULT CameraMediaStream::RequestSample(IUnknown* token) {
    std::lock_guard lock(m_lock);
    switch (m_state) {
        case State::kShutdown:
            return MF_E_SHUTDOWN;
        case State::kStopped:
            return MF_E_MEDIA_SOURCE_WRONGSTATE;
        case State::kStarted:
        case State::kPaused:
            break;
    }
    m_tokens.push_back(sdk::ComPtr<IUnknown>::Share(token));
    m_wake.notify_one();
    return S_OK;
}

HRESULT CameraMediaStream::SetStreamState(sdk::MF_STREAM_STATE value) {
    std::lock_guard control(m_control);
    sdk::MF_STREAM_STATE current = sdk::MF_STREAM_STATE_STOPPED;
    const HRESULT known = GetStreamState(&current);
    if (FAILED(known) || value == current) return known;
    switch (value) {
        case sdk::MF_STREAM_STATE_RUNNING: {
            const std::optional<StreamFormat> format = CurrentFormatOf(m_descriptor.Get());
            return format ? Start(*format, SystemTimeNow()) : MF_E_INVALIDMEDIATYPE;
        }
        case sdk::MF_STREAM_STATE_PAUSED:
            return current == sdk::MF_STREAM_STATE_RUNNING ? Pause()
                                                           : MF_E_INVALID_STATE_TRANSITION;
        case sdk::MF_STREAM_STATE_STOPPED:
            return Stop(true);
    }
    return E_INVALIDARG;
}

HRESULT CameraMediaStream::GetStreamState(sdk::MF_STREAM_STATE* value) {
    if (value == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    switch (m_state) {
        case State::kShutdown:
            return MF_E_SHUTDOWN;
        case State::kStarted:
            *value = sdk::MF_STREAM_STATE_RUNNING;
            break;
        case State::kPaused:
            *value = sdk::MF_STREAM_STATE_PAUSED;
            break;
        case State::kStopped:
            *value = sdk::MF_STREAM_STATE_STOPPED;
            break;
    }
    return S_OK;
}

HRESULT CameraMediaStream::Start(const StreamFormat& format, const PROPVARIANT& startTime) {
    std::lock_guard control(m_control);
    StopWorker();
    {
        std::lock_guard lock(m_lock);
        if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
        m_state = State::kStarted;
        m_format = format;
    }
    m_sampler.Begin(format.interval);
    m_worker = std::thread([this] { Deliver(); });
    return m_events->QueueEventParamVar(MEStreamStarted, GUID_NULL, S_OK, &startTime);
}

HRESULT CameraMediaStream::Pause() {
    std::lock_guard control(m_control);
    StopWorker();
    {
        std::lock_guard lock(m_lock);
        if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
        m_state = State::kPaused;
    }
    return m_events->QueueEventParamVar(MEStreamPaused, GUID_NULL, S_OK, nullptr);
}

HRESULT CameraMediaStream::Stop(bool announce) {
    std::lock_guard control(m_control);
    StopWorker();
    {
        std::lock_guard lock(m_lock);
        if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
        m_state = State::kStopped;
        m_tokens.clear();
    }
    m_sampler.End();
    return announce ? m_events->QueueEventParamVar(MEStreamStopped, GUID_NULL, S_OK, nullptr)
                    : S_OK;
}

void CameraMediaStream::Shutdown() {
    std::lock_guard control(m_control);
    StopWorker();
    sdk::ComPtr<IMFMediaSource> source;
    {
        std::lock_guard lock(m_lock);
        if (m_state == State::kShutdown) return;
        m_state = State::kShutdown;
        m_tokens.clear();
        source = std::move(m_source);
    }
    m_sampler.End();
    (void)m_events->Shutdown();
}

void CameraMediaStream::StopWorker() {
    if (!m_worker.joinable()) return;
    {
        std::lock_guard lock(m_lock);
        m_workerExit = true;
    }
    m_wake.notify_all();
    m_worker.join();
    std::lock_guard lock(m_lock);
    m_workerExit = false;
}

void CameraMediaStream::Deliver() {
    for (;;) {
        {
            std::unique_lock lock(m_lock);
            m_wake.wait(lock, [&] { return m_workerExit || !m_tokens.empty(); });
            if (m_workerExit) return;
        }
        FollowCurrentType();
        const camera::LiveSchedule::Slot slot = m_sampler.WaitForSlot();
        sdk::ComPtr<IMFSample> sample = RenderSample(slot);
        sdk::ComPtr<IUnknown> token;
        {
            std::lock_guard lock(m_lock);
            if (m_workerExit) return;
            token = std::move(m_tokens.front());
            m_tokens.pop_front();
        }
        if (!sample) {
            (void)m_events->QueueEventParamVar(MEError, GUID_NULL, E_OUTOFMEMORY, nullptr);
            continue;
        }
        if (token) (void)sample->SetUnknown(MFSampleExtension_Token, token.Get());
        (void)m_events->QueueEventParamUnk(MEMediaSample, GUID_NULL, S_OK, sample.Get());
    }
}

void CameraMediaStream::FollowCurrentType() {
    const std::optional<StreamFormat> current = CurrentFormatOf(m_descriptor.Get());
    if (!current) return;
    if (current->interval != m_format.interval) m_sampler.Begin(current->interval);
    // Pooled samples hold buffers of the old picture.
    if (current->media != m_format.media) m_pool.clear();
    m_format = *current;
}

namespace {

// Whether object's only references are the expected ones (a probe: the count after our own
// AddRef and Release).
bool HeldOnlyBy(IUnknown& object, ULONG expected) {
    object.AddRef();
    return object.Release() == expected;
}

}  // namespace

std::optional<CameraMediaStream::PooledSample> CameraMediaStream::FreeSample() {
    for (const PooledSample& pooled : m_pool) {
        // The sample is the pool's alone, and its buffer the sample's and the pool's.
        if (!HeldOnlyBy(*pooled.sample.Get(), 1) ||
            !HeldOnlyBy(*static_cast<IMFMediaBuffer*>(pooled.buffer.Get()), 2)) {
            continue;
        }
        if (FAILED(pooled.sample->DeleteAllItems())) continue;
        return pooled;
    }
    PooledSample created;
    created.buffer = sdk::ComPtr<FrameBuffer>::Adopt(FrameBuffer::Create(m_format.media));
    if (!created.buffer || FAILED(MFCreateSample(created.sample.Put())) ||
        FAILED(created.sample->AddBuffer(created.buffer.Get()))) {
        return std::nullopt;
    }
    if (m_pool.size() < kPoolSize) m_pool.push_back(created);
    return created;
}

sdk::ComPtr<IMFSample> CameraMediaStream::RenderSample(const camera::LiveSchedule::Slot& slot) {
    std::optional<PooledSample> pooled = FreeSample();
    const LONGLONG time = MFGetSystemTime();
    const picture::MediaFrame& media = m_format.media;
    BYTE* scanline = nullptr;
    LONG pitch = 0;
    const bool locked = pooled && SUCCEEDED(pooled->buffer->Lock2D(&scanline, &pitch));
    // Without a buffer the slot is missed, so the next request waits for the next slot.
    const bool delivered =
        m_sampler.Deliver(slot, {scanline, locked ? picture::FrameBytes(media) : 0}, media);
    if (locked) (void)pooled->buffer->Unlock2D();
    if (!delivered) return nullptr;
    IMFSample& sample = *pooled->sample.Get();
    if (FAILED(pooled->buffer->SetCurrentLength(static_cast<DWORD>(picture::FrameBytes(media)))) ||
        FAILED(sample.SetSampleTime(time)) || FAILED(sample.SetSampleDuration(m_format.interval)) ||
        FAILED(sample.SetUINT32(MFSampleExtension_CleanPoint, TRUE))) {
        return nullptr;
    }
    return pooled->sample;
}

}  // namespace orvanecam::mfsource
