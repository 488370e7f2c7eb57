#include "streaming/source.h"

#include <algorithm>
#include <new>

#include "streaming/source_stream.h"

namespace orvanecam::streaming {

CSource::CSource(const char* objectName, IUnknown* outer, REFCLSID classId)
    : CBaseFilter(objectName, outer, &m_stateLock, classId) {}

CSource::~CSource() {
    // A client may release a filter it never stopped: the workers end before their pins go.
    Stop();
    // Each stream removes itself from the array as it goes.
    while (m_iPins > 0) delete m_paStreams[m_iPins - 1];
}

int CSource::GetPinCount() {
    CAutoLock lock(m_stateLock);
    return m_iPins;
}

CBasePin* CSource::GetPin(int index) {
    CAutoLock lock(m_stateLock);
    if (index < 0 || index >= m_iPins) return nullptr;
    return m_paStreams[index];
}

HRESULT CSource::AddPin(CSourceStream* stream) {
    CAutoLock lock(m_stateLock);
    auto** grown = new (std::nothrow) CSourceStream*[static_cast<std::size_t>(m_iPins) + 1];
    if (grown == nullptr) return E_OUTOFMEMORY;
    std::copy_n(m_paStreams, m_iPins, grown);
    grown[m_iPins] = stream;
    delete[] m_paStreams;
    m_paStreams = grown;
    ++m_iPins;
    return S_OK;
}

void CSource::RemovePin(CSourceStream* stream) {
    CAutoLock lock(m_stateLock);
    auto* end = m_paStreams + m_iPins;
    auto* found = std::find(m_paStreams, end, stream);
    if (found == end) return;
    std::copy(found + 1, end, found);
    if (--m_iPins == 0) {
        delete[] m_paStreams;
        m_paStreams = nullptr;
    }
}

}  // namespace orvanecam::streaming
