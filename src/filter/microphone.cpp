#include "filter/microphone.h"

#include <new>

#include "filter/microphone_stream.h"

namespace orvanecam::filter {

CMicrophone* CMicrophone::CreateFor(const camera::CameraIdentity& camera, IUnknown* outer,
                                    HRESULT* result) {
    return new (std::nothrow) CMicrophone(camera, outer, result);
}

CMicrophone::CMicrophone(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result)
    : LiveSourceFilter(outer, sdk::GuidOf(camera.microphoneClass)), m_camera(camera) {
    streaming::CAutoLock lock(m_stateLock);
    HRESULT added = E_OUTOFMEMORY;
    m_stream = new (std::nothrow) CMicrophoneStream(&added, this);
    if (m_stream != nullptr && FAILED(added)) {
        // A stream the filter does not hold would never be deleted.
        delete m_stream;
        m_stream = nullptr;
    }
    if (result != nullptr) *result = added;
}

}  // namespace orvanecam::filter
