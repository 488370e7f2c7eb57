#include "streaming/base_pin.h"

#include <climits>
#include <new>

#include "streaming/base_filter.h"
#include "streaming/enum_media_types.h"
#include "streaming/wide_text.h"

namespace orvanecam::streaming {
namespace {

// Failures that say only "not this type"; a more specific failure is worth reporting instead.
bool IsPlainRefusal(HRESULT result) {
    return result == E_FAIL || result == E_INVALIDARG || result == VFW_E_TYPE_NOT_ACCEPTED;
}

}  // namespace

CBasePin::CBasePin(CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName, PIN_DIRECTION direction)
    : CUnknown(nullptr),
      m_name(pinName != nullptr ? pinName : OLESTR("")),
      m_direction(direction),
      m_lock(lock),
      m_filter(filter) {}

CBasePin::~CBasePin() {
    // A client may release a filter it never disconnected: m_connected lets go of the peer.
    // m_mt frees its format block and object reference itself.
}

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IPin) return GetInterface(static_cast<IPin*>(this), object);
    if (iid == IID_IQualityControl)
        return GetInterface(static_cast<IQualityControl*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

ULONG CBasePin::NonDelegatingAddRef() {
    return m_filter->AddRefFilter();
}

ULONG CBasePin::NonDelegatingRelease() {
    return m_filter->ReleaseFilter();
}

HRESULT CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (receivePin == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    if (m_connected != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!m_filter->IsStopped()) return VFW_E_NOT_STOPPED;
    if (mediaType != nullptr && !IsWellFormed(*mediaType)) return VFW_E_TYPE_NOT_ACCEPTED;
    const HRESULT result = AgreeMediaType(receivePin, mediaType);
    if (FAILED(result)) {
        BreakConnect();
        return result;
    }
    return S_OK;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) {
    if (mediaType != nullptr && IsFullySpecified(*mediaType)) {
        return AttemptConnection(receivePin, CMediaType(*mediaType));
    }
    // The first specific failure met is worth more than "nothing fitted" from a later round.
    HRESULT report = VFW_E_NO_ACCEPTABLE_TYPES;
    for (IPin* enumeratorPin : {receivePin, static_cast<IPin*>(this)}) {
        const HRESULT result = TryTypesFrom(enumeratorPin, receivePin, mediaType);
        // S_FALSE (no enumerator) is not a connection.
        if (result == S_OK) return S_OK;
        if (report == VFW_E_NO_ACCEPTABLE_TYPES && result != S_FALSE && !IsPlainRefusal(result)) {
            report = result;
        }
    }
    return report;
}

// S_OK when a type connected; S_FALSE when the enumerator could not be had; else the failure.
HRESULT CBasePin::TryTypesFrom(IPin* enumeratorPin, IPin* receivePin,
                               const AM_MEDIA_TYPE* partial) {
    sdk::ComPtr<IEnumMediaTypes> enumerator;
    if (FAILED(enumeratorPin->EnumMediaTypes(enumerator.Put())) || !enumerator) return S_FALSE;
    HRESULT result = enumerator->Reset();
    if (SUCCEEDED(result)) {
        HRESULT firstSpecific = S_OK;
        AM_MEDIA_TYPE* candidate = nullptr;
        ULONG fetched = 0;
        result = VFW_E_NO_ACCEPTABLE_TYPES;
        while (enumerator->Next(1, &candidate, &fetched) == S_OK && candidate != nullptr) {
            const bool wellFormed = IsWellFormed(*candidate);
            CMediaType type(*candidate);
            DeleteMediaType(candidate);
            candidate = nullptr;
            if (!wellFormed) continue;
            if (partial != nullptr && !type.MatchesPartial(*partial)) continue;
            const HRESULT attempt = AttemptConnection(receivePin, type);
            if (SUCCEEDED(attempt)) {
                result = S_OK;
                break;
            }
            if (SUCCEEDED(firstSpecific) && !IsPlainRefusal(attempt)) firstSpecific = attempt;
        }
        if (FAILED(result) && FAILED(firstSpecific)) result = firstSpecific;
    }
    return result;
}

HRESULT CBasePin::CheckCandidate(IPin* pin, const CMediaType& mediaType) {
    HRESULT result = CheckConnect(pin);
    if (SUCCEEDED(result)) {
        result = CheckMediaType(&mediaType);
        if (result != S_OK) {
            result = SUCCEEDED(result) || IsPlainRefusal(result) ? VFW_E_TYPE_NOT_ACCEPTED : result;
        }
    }
    if (FAILED(result)) BreakConnect();
    return result;
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType& mediaType) {
    HRESULT result = CheckCandidate(receivePin, mediaType);
    if (FAILED(result)) return result;
    m_connected = sdk::ComPtr<IPin>::Share(receivePin);
    result = SetMediaType(&mediaType);
    if (SUCCEEDED(result)) result = receivePin->ReceiveConnection(this, &mediaType);
    if (SUCCEEDED(result)) {
        result = CompleteConnect(receivePin);
        if (SUCCEEDED(result)) return result;
        receivePin->Disconnect();
    }
    BreakConnect();
    m_connected.Reset();
    return result;
}

HRESULT CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mediaType) {
    if (connector == nullptr || mediaType == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    if (m_connected != nullptr) return VFW_E_ALREADY_CONNECTED;
    if (!m_filter->IsStopped()) return VFW_E_NOT_STOPPED;
    if (!IsWellFormed(*mediaType)) return VFW_E_TYPE_NOT_ACCEPTED;
    const CMediaType type(*mediaType);
    HRESULT result = CheckCandidate(connector, type);
    if (FAILED(result)) return result;
    m_connected = sdk::ComPtr<IPin>::Share(connector);
    result = SetMediaType(&type);
    if (SUCCEEDED(result)) result = CompleteConnect(connector);
    if (SUCCEEDED(result)) return S_OK;
    m_connected.Reset();
    BreakConnect();
    return result;
}

HRESULT CBasePin::Disconnect() {
    CAutoLock lock(*m_lock);
    if (!m_filter->IsStopped()) return VFW_E_NOT_STOPPED;
    if (m_connected == nullptr) return S_FALSE;
    const HRESULT result = BreakConnect();
    if (FAILED(result)) return result;
    m_connected.Reset();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    IPin* connected = m_connected.Get();
    *pin = connected;
    if (connected == nullptr) return VFW_E_NOT_CONNECTED;
    connected->AddRef();
    return S_OK;
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    if (m_connected == nullptr) {
        InitMediaType(mediaType);
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mediaType, &m_mt);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pFilter = m_filter != nullptr ? m_filter->AsBaseFilter() : nullptr;
    if (info->pFilter != nullptr) info->pFilter->AddRef();
    CopyTruncated(m_name.c_str(), info->achName, MAX_PIN_NAME);
    info->dir = m_direction;
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* direction) {
    if (direction == nullptr) return E_POINTER;
    *direction = m_direction;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPWSTR* id) {
    if (id == nullptr) return E_POINTER;
    int position = -1;
    for (int index = 0; index < m_filter->GetPinCount(); ++index) {
        if (m_filter->GetPin(index) == this) {
            position = index;
            break;
        }
    }
    if (position < 0) return VFW_E_NOT_FOUND;
    constexpr std::size_t kIdChars = 12;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(kIdChars * sizeof(WCHAR)));
    if (*id == nullptr) return E_OUTOFMEMORY;
    WriteDecimal(position + 1, *id, kIdChars);
    return S_OK;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return E_POINTER;
    if (!IsWellFormed(*mediaType)) return S_FALSE;
    const CMediaType type(*mediaType);
    const HRESULT result = CheckMediaType(&type);
    return FAILED(result) ? S_FALSE : result;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = new (std::nothrow) CEnumMediaTypes(this, nullptr);
    return *enumerator == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CBasePin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;
}

HRESULT CBasePin::Notify(IBaseFilter*, Quality) {
    return E_NOTIMPL;
}

HRESULT CBasePin::SetMediaType(const CMediaType* mediaType) {
    return m_mt.Set(*mediaType);
}

}  // namespace orvanecam::streaming
