#include "streaming/enum_media_types.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

#include "streaming/base_pin.h"

namespace orvanecam::streaming {

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* source)
    : ComObject(IID_IEnumMediaTypes), m_pin(pin) {
    m_pin->AsPin()->AddRef();
    m_position = source != nullptr ? source->m_position : 0;
    m_version = source != nullptr ? source->m_version : m_pin->GetMediaTypeVersion();
}

CEnumMediaTypes::~CEnumMediaTypes() {
    m_pin->AsPin()->Release();
}

bool CEnumMediaTypes::OutOfSync() const {
    return m_pin->GetMediaTypeVersion() != m_version;
}

HRESULT CEnumMediaTypes::Next(ULONG count, AM_MEDIA_TYPE** mediaTypes, ULONG* fetched) {
    if (mediaTypes == nullptr) return E_POINTER;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    if (fetched != nullptr) {
        *fetched = 0;
    } else if (count > 1) {
        return E_INVALIDARG;
    }
    if (count == 0) return S_OK;
    ULONG done = 0;
    while (done < count) {
        CMediaType type;
        if (m_pin->GetMediaType(m_position++, &type) != S_OK) break;
        auto* handed = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
        mediaTypes[done] = handed;
        if (handed == nullptr) break;
        // The format block and object reference move to the caller's structure.
        *handed = type;
        type.cbFormat = 0;
        type.pbFormat = nullptr;
        type.pUnk = nullptr;
        ++done;
    }
    if (fetched != nullptr) *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG count) {
    if (count == 0) return S_OK;
    if (OutOfSync()) return VFW_E_ENUM_OUT_OF_SYNC;
    m_position = static_cast<int>(
        std::min<std::int64_t>(std::int64_t{m_position} + count, std::numeric_limits<int>::max()));
    CMediaType probe;
    return m_pin->GetMediaType(m_position - 1, &probe) == S_OK ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Reset() {
    m_position = 0;
    m_version = m_pin->GetMediaTypeVersion();
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    if (OutOfSync()) {
        *enumerator = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    *enumerator = new (std::nothrow) CEnumMediaTypes(m_pin, this);
    return *enumerator == nullptr ? E_OUTOFMEMORY : S_OK;
}

}  // namespace orvanecam::streaming
