#include "mfsource/media_source.h"

#include <new>
#include <vector>

#include "exchange/reader.h"

namespace orvanecam::mfsource {
namespace {

constexpr DWORD kStreamId = 0;

HRESULT DescribeStream(IMFStreamDescriptor& descriptor) {
    HRESULT result =
        // A capture stream: the same category (PINNAME_VIDEO_CAPTURE) as the filter's pin.
        descriptor.SetGUID(sdk::MF_DEVICESTREAM_STREAM_CATEGORY, PIN_CATEGORY_CAPTURE);
    if (SUCCEEDED(result)) result = descriptor.SetUINT32(sdk::MF_DEVICESTREAM_STREAM_ID, kStreamId);
    if (SUCCEEDED(result)) {
        result = descriptor.SetUINT32(sdk::MF_DEVICESTREAM_FRAMESERVER_SHARED, TRUE);
    }
    if (SUCCEEDED(result)) {
        result = descriptor.SetUINT32(sdk::MF_DEVICESTREAM_ATTRIBUTE_FRAMESOURCE_TYPES,
                                      sdk::kFrameSourceTypeColor);
    }
    return result;
}

}  // namespace

CameraMediaSource::CameraMediaSource(const camera::CameraIdentity& camera)
    : streaming::CUnknown(nullptr), m_camera(camera) {}

CameraMediaSource::~CameraMediaSource() {
    if (m_stream) m_stream->Shutdown();
}

HRESULT CameraMediaSource::Create(const camera::CameraIdentity& camera, IMFAttributes* activation,
                                  CameraMediaSource** source) {
    if (source == nullptr) return E_POINTER;
    *source = nullptr;
    auto* created = new (std::nothrow) CameraMediaSource(camera);
    if (created == nullptr) return E_OUTOFMEMORY;
    created->NonDelegatingAddRef();
    HRESULT result =
        created->m_events ? MFCreateAttributes(created->m_attributes.Put(), 4) : E_OUTOFMEMORY;
    if (SUCCEEDED(result) && activation != nullptr) {
        result = activation->CopyAllItems(created->m_attributes.Get());
    }
    if (FAILED(result)) {
        created->Shutdown();
        created->NonDelegatingRelease();
        return result;
    }
    *source = created;
    return S_OK;
}

HRESULT CameraMediaSource::MakeStreamOnce() {
    if (m_stream) return S_OK;
    std::vector<sdk::ComPtr<IMFMediaType>> types;
    HRESULT result =
        CreateOfferedTypes(camera::ReadOffer(exchange::ReaderExchange(m_camera.Objects())), types);
    if (FAILED(result)) return result;
    std::vector<IMFMediaType*> typeList;
    for (const auto& type : types) typeList.push_back(type.Get());
    sdk::ComPtr<IMFStreamDescriptor> streamDescriptor;
    result = MFCreateStreamDescriptor(kStreamId, static_cast<DWORD>(typeList.size()),
                                      typeList.data(), streamDescriptor.Put());
    if (SUCCEEDED(result)) result = DescribeStream(*streamDescriptor);
    sdk::ComPtr<IMFMediaTypeHandler> handler;
    if (SUCCEEDED(result)) result = streamDescriptor->GetMediaTypeHandler(handler.Put());
    if (SUCCEEDED(result)) result = handler->SetCurrentMediaType(typeList.front());
    IMFStreamDescriptor* streams[] = {streamDescriptor.Get()};
    sdk::ComPtr<IMFPresentationDescriptor> descriptor;
    if (SUCCEEDED(result)) result = MFCreatePresentationDescriptor(1, streams, descriptor.Put());
    if (SUCCEEDED(result)) result = descriptor->SelectStream(0);
    if (FAILED(result)) return result;
    auto stream = sdk::ComPtr<CameraMediaStream>::Adopt(
        new (std::nothrow) CameraMediaStream(m_camera, this, streamDescriptor.Get()));
    if (!stream) return E_OUTOFMEMORY;
    stream->NonDelegatingAddRef();
    if (!stream->IsValid()) {
        stream->Shutdown();
        return E_OUTOFMEMORY;
    }
    m_streamDescriptor = std::move(streamDescriptor);
    m_descriptor = std::move(descriptor);
    m_stream = std::move(stream);
    return S_OK;
}

HRESULT CameraMediaSource::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IMFMediaSourceEx || iid == IID_IMFMediaSource ||
        iid == IID_IMFMediaEventGenerator) {
        return GetInterface(static_cast<IMFMediaSourceEx*>(this), object);
    }
    if (iid == IID_IKsControl) return GetInterface(static_cast<IKsControl*>(this), object);
    if (iid == IID_IMFGetService) return GetInterface(static_cast<IMFGetService*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CameraMediaSource::GetCharacteristics(DWORD* characteristics) {
    if (characteristics == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    *characteristics = MFMEDIASOURCE_IS_LIVE;
    return S_OK;
}

HRESULT CameraMediaSource::CreatePresentationDescriptor(IMFPresentationDescriptor** descriptor) {
    if (descriptor == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    const HRESULT made = MakeStreamOnce();
    return FAILED(made) ? made : m_descriptor->Clone(descriptor);
}

HRESULT CameraMediaSource::ReadSelection(IMFPresentationDescriptor* descriptor, bool& selected,
                                         StreamFormat& format) {
    DWORD count = 0;
    BOOL isSelected = FALSE;
    DWORD id = 0;
    sdk::ComPtr<IMFStreamDescriptor> stream;
    if (FAILED(descriptor->GetStreamDescriptorCount(&count)) || count != 1 ||
        FAILED(descriptor->GetStreamDescriptorByIndex(0, &isSelected, stream.Put())) ||
        FAILED(stream->GetStreamIdentifier(&id)) || id != kStreamId) {
        return E_INVALIDARG;
    }
    selected = isSelected != FALSE;
    const std::optional<StreamFormat> chosen = CurrentFormatOf(stream.Get());
    if (!chosen) return MF_E_INVALIDMEDIATYPE;
    format = *chosen;
    return S_OK;
}

HRESULT CameraMediaSource::Start(IMFPresentationDescriptor* descriptor, const GUID* timeFormat,
                                 const PROPVARIANT* startPosition) {
    if (descriptor == nullptr || startPosition == nullptr) return E_INVALIDARG;
    if (timeFormat != nullptr && *timeFormat != GUID_NULL) return MF_E_UNSUPPORTED_TIME_FORMAT;
    if (startPosition->vt != VT_EMPTY && startPosition->vt != VT_I8) {
        return MF_E_UNSUPPORTED_TIME_FORMAT;
    }
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    if (const HRESULT made = MakeStreamOnce(); FAILED(made)) return made;
    bool selected = false;
    StreamFormat format{};
    HRESULT result = ReadSelection(descriptor, selected, format);
    if (FAILED(result)) return result;

    const PROPVARIANT startTime = SystemTimeNow();
    if (selected) {
        result = m_events->QueueEventParamUnk(m_streamActive ? MEUpdatedStream : MENewStream,
                                              GUID_NULL, S_OK, m_stream->NonDelegatingUnknown());
        m_streamActive = true;
    } else if (m_streamActive) {
        result = m_stream->Stop(false);
        m_streamActive = false;
    }
    if (SUCCEEDED(result)) {
        result = m_events->QueueEventParamVar(MESourceStarted, GUID_NULL, S_OK, &startTime);
    }
    if (SUCCEEDED(result) && selected) result = m_stream->Start(format, startTime);
    if (SUCCEEDED(result)) m_state = State::kStarted;
    return result;
}

HRESULT CameraMediaSource::Pause() {
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    if (m_state != State::kStarted) return MF_E_INVALID_STATE_TRANSITION;
    HRESULT result = m_streamActive ? m_stream->Pause() : S_OK;
    if (SUCCEEDED(result)) {
        result = m_events->QueueEventParamVar(MESourcePaused, GUID_NULL, S_OK, nullptr);
    }
    if (SUCCEEDED(result)) m_state = State::kPaused;
    return result;
}

HRESULT CameraMediaSource::Stop() {
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    HRESULT result = m_streamActive ? m_stream->Stop(true) : S_OK;
    if (SUCCEEDED(result)) {
        result = m_events->QueueEventParamVar(MESourceStopped, GUID_NULL, S_OK, nullptr);
    }
    m_state = State::kStopped;
    return result;
}

HRESULT CameraMediaSource::Shutdown() {
    sdk::ComPtr<CameraMediaStream> stream;
    {
        std::lock_guard lock(m_lock);
        if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
        m_state = State::kShutdown;
        stream = std::move(m_stream);
    }
    // Outside the lock: the stream lets go of its reference to this source.
    if (stream) stream->Shutdown();
    if (m_events) (void)m_events->Shutdown();
    return S_OK;
}

HRESULT CameraMediaSource::GetSourceAttributes(IMFAttributes** attributes) {
    if (attributes == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    *attributes = sdk::ComPtr<IMFAttributes>(m_attributes).Detach();
    return S_OK;
}

HRESULT CameraMediaSource::GetStreamAttributes(DWORD streamId, IMFAttributes** attributes) {
    if (attributes == nullptr) return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state == State::kShutdown) return MF_E_SHUTDOWN;
    if (streamId != kStreamId) return MF_E_INVALIDSTREAMNUMBER;
    if (const HRESULT made = MakeStreamOnce(); FAILED(made)) return made;
    return m_streamDescriptor->QueryInterface(IID_IMFAttributes,
                                              reinterpret_cast<void**>(attributes));
}

HRESULT CameraMediaSource::SetD3DManager(IUnknown*) {
    std::lock_guard lock(m_lock);
    return m_state == State::kShutdown ? MF_E_SHUTDOWN : S_OK;
}

HRESULT CameraMediaSource::KsProperty(PKSPROPERTY, ULONG, LPVOID, ULONG, ULONG*) {
    return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

HRESULT CameraMediaSource::KsMethod(PKSMETHOD, ULONG, LPVOID, ULONG, ULONG*) {
    return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

HRESULT CameraMediaSource::KsEvent(PKSEVENT, ULONG, LPVOID, ULONG, ULONG*) {
    return HRESULT_FROM_WIN32(ERROR_SET_NOT_FOUND);
}

HRESULT CameraMediaSource::GetService(REFGUID, REFIID, LPVOID* object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return IsShutDown() ? MF_E_SHUTDOWN : MF_E_UNSUPPORTED_SERVICE;
}

bool CameraMediaSource::IsShutDown() {
    std::lock_guard lock(m_lock);
    return m_state == State::kShutdown;
}

}  // namespace orvanecam::mfsource
