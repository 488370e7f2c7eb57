#include "streaming/enum_pins.h"

#include <algorithm>
#include <new>

#include "streaming/base_filter.h"
#include "streaming/base_pin.h"

namespace orvanecam::streaming {

CEnumPins::CEnumPins(CBaseFilter* filter, const CEnumPins* source)
    : ComObject(IID_IEnumPins), m_filter(filter) {
    m_filter->AddRefFilter();
    if (source == nullptr) {
        Refresh();
    } else {
        m_position = source->m_position;
        m_pinCount = source->m_pinCount;
        m_version = source->m_version;
        m_handedOut = source->m_handedOut;
    }
}

CEnumPins::~CEnumPins() {
    m_filter->ReleaseFilter();
}

bool CEnumPins::OutOfSync() const {
    return m_filter->GetPinVersion() != m_version;
}

void CEnumPins::Refresh() {
    m_version = m_filter->GetPinVersion();
    m_pinCount = m_filter->GetPinCount();
    m_position = 0;
}

HRESULT CEnumPins::Next(ULONG count, IPin** pins, ULONG* fetched) {
    if (pins == nullptr) return E_POINTER;
    if (fetched != nullptr) {
        *fetched = 0;
    } else if (count > 1) {
        return E_INVALIDARG;
    }
    // A changed pin set starts over; the cache keeps pins already handed out from coming again.
    if (OutOfSync()) Refresh();
    ULONG done = 0;
    while (done < count && m_position < m_pinCount) {
        CBasePin* pin = m_filter->GetPin(m_position++);
        if (pin == nullptr) return VFW_E_ENUM_OUT_OF_SYNC;
        if (std::find(m_handedOut.begin(), m_handedOut.end(), pin) != m_handedOut.end()) continue;
        pins[done] = pin->AsPin();
        pins[done]->AddRef();
        m_handedOut.push_back(pin);
        ++done;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT CEnumPins::Skip(ULONG count) {
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    if (count > static_cast<ULONG>(m_pinCount - m_position)) return S_FALSE;
    m_position += static_cast<int>(count);
    return S_OK;
}

HRESULT CEnumPins::Reset() {
    Refresh();
    m_handedOut.clear();
    return S_OK;
}

HRESULT CEnumPins::Clone(IEnumPins** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    if (OutOfSync()) {
        *enumerator = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    *enumerator = new (std::nothrow) CEnumPins(m_filter, this);
    return *enumerator == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace orvanecam::streaming
