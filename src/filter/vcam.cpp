#include "filter/vcam.h"

#include <new>

#include "exchange/reader.h"
#include "filter/vcam_stream.h"

namespace orvanecam::filter {
streaming::CUnknown* CVCam::CreateInstance(IUnknown* outer, HRESULT* result) {
    return CreateFor(camera::kFirstCamera, outer, result);
}

CVCam* CVCam::CreateFor(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result) {
    return new (std::nothrow) CVCam(camera, outer, result);
}

CVCam::CVCam(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result)
    : LiveSourceFilter(outer, sdk::GuidOf(camera.filterClass)), m_camera(camera) {
    exchange::ReaderExchange(camera.Objects()).OpenReaderBlock();
    streaming::CAutoLock lock(m_stateLock);
    HRESULT added = E_OUTOFMEMORY;
    m_stream = new (std::nothrow) CVCamStream(&added, this, kPinName);
    if (m_stream != nullptr && FAILED(added)) {
        // A stream the filter does not hold would never be deleted.
        delete m_stream;
        m_stream = nullptr;
    }
    if (result != nullptr) *result = added;
}

HRESULT CVCam::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (m_stream != nullptr) {
        if (iid == IID_IAMStreamConfig) {
            return GetInterface(static_cast<IAMStreamConfig*>(&m_configFace), object);
        }
        if (iid == IID_IKsPropertySet) {
            return GetInterface(static_cast<IKsPropertySet*>(&m_configFace), object);
        }
    }
    return LiveSourceFilter::NonDelegatingQueryInterface(iid, object);
}

// --- the filter's configuration face ------------------------------------------------------------

HRESULT CVCam::ConfigFace::QueryInterface(REFIID iid, void** object) {
    return m_filter.GetOwner()->QueryInterface(iid, object);
}
ULONG CVCam::ConfigFace::AddRef() {
    return m_filter.GetOwner()->AddRef();
}
ULONG CVCam::ConfigFace::Release() {
    return m_filter.GetOwner()->Release();
}
HRESULT CVCam::ConfigFace::SetFormat(AM_MEDIA_TYPE* mediaType) {
    return m_filter.m_stream->SetFormat(mediaType);
}
HRESULT CVCam::ConfigFace::GetFormat(AM_MEDIA_TYPE** mediaType) {
    return m_filter.m_stream->GetFormat(mediaType);
}
HRESULT CVCam::ConfigFace::GetNumberOfCapabilities(int* count, int* size) {
    return m_filter.m_stream->GetNumberOfCapabilities(count, size);
}
HRESULT CVCam::ConfigFace::GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType, BYTE* caps) {
    return m_filter.m_stream->GetStreamCaps(index, mediaType, caps);
}
HRESULT CVCam::ConfigFace::Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                               LPVOID data, DWORD dataBytes) {
    return m_filter.m_stream->Set(set, id, instance, instanceBytes, data, dataBytes);
}
HRESULT CVCam::ConfigFace::Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                               LPVOID data, DWORD dataBytes, DWORD* returned) {
    return m_filter.m_stream->Get(set, id, instance, instanceBytes, data, dataBytes, returned);
}
HRESULT CVCam::ConfigFace::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    return m_filter.m_stream->QuerySupported(set, id, support);
}

}  // namespace orvanecam::filter
