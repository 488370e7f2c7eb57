#include "filter/vcam.h"

#include <new>

#include "exchange/reader.h"
#include "filter/vcam_stream.h"

namespace orvanecam::filter {
namespace {

constexpr WCHAR kPinName[] = {'O', 'r', 'v', 'a', 'n', 'e', 'C', 'a',
                              'm', '2', 'V', 'i', 'd', 'e', 'o', 0};

}  // namespace

streaming::CUnknown* CVCam::CreateInstance(IUnknown* outer, HRESULT* result) {
    return new (std::nothrow) CVCam(outer, result);
}

CVCam::CVCam(IUnknown* outer, HRESULT* result) : CSource("OrvaneCam", outer, kCameraClassId) {
    exchange::ReaderExchange().OpenReaderBlock();
    streaming::CAutoLock lock(m_stateLock);
    m_stream = new (std::nothrow) CVCamStream(result, this, kPinName);
    if (m_stream == nullptr && result != nullptr) *result = E_OUTOFMEMORY;
}

HRESULT CVCam::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if ((iid == IID_IAMStreamConfig || iid == IID_IKsPropertySet) && m_stream != nullptr) {
        return static_cast<IPin*>(m_stream)->QueryInterface(iid, object);
    }
    return CSource::NonDelegatingQueryInterface(iid, object);
}

}  // namespace orvanecam::filter
