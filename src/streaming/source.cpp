#include "streaming/source.h"

#include <algorithm>
#include <new>

#include "streaming/source_stream.h"

namespace orvanecam::streaming {

CSource::CSource(IUnknown* outer, REFCLSID classId) : CBaseFilter(outer, &m_stateLock, classId) {}

CSource::~CSource() {
    // A client may release a filter it never stopped: the workers end before their pins go.
    Stop();
    // Each stream removes itself from the list as it goes.
    while (!m_streams.empty()) delete m_streams.back();
}

int CSource::GetPinCount() {
    CAutoLock lock(m_stateLock);
    return static_cast<int>(m_streams.size());
}

CBasePin* CSource::GetPin(int index) {
    CAutoLock lock(m_stateLock);
    if (index < 0 || static_cast<std::size_t>(index) >= m_streams.size()) return nullptr;
    return m_streams[static_cast<std::size_t>(index)];
}

HRESULT CSource::AddPin(CSourceStream* stream) {
    CAutoLock lock(m_stateLock);
    try {
        m_streams.push_back(stream);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CSource::RemovePin(CSourceStream* stream) {
    CAutoLock lock(m_stateLock);
    const auto found = std::find(m_streams.begin(), m_streams.end(), stream);
    if (found != m_streams.end()) m_streams.erase(found);
}

}  // namespace orvanecam::streaming
