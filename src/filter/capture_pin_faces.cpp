#include "filter/capture_pin_faces.h"

#include <cstring>

namespace orvanecam::filter {

HRESULT CapturePinFaces::Set(REFGUID, DWORD, LPVOID, DWORD, LPVOID, DWORD) {
    return E_NOTIMPL;
}

HRESULT CapturePinFaces::Get(REFGUID set, DWORD id, LPVOID, DWORD, LPVOID data, DWORD dataBytes,
                             DWORD* returned) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (data == nullptr && returned == nullptr) return E_POINTER;
    if (returned != nullptr) *returned = sizeof(GUID);
    if (data == nullptr) return S_OK;
    if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(data, &PIN_CATEGORY_CAPTURE, sizeof(GUID));
    return S_OK;
}

HRESULT CapturePinFaces::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (set != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support != nullptr) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

HRESULT CapturePinFaces::GetPushSourceFlags(ULONG* flags) {
    if (flags == nullptr) return E_POINTER;
    *flags = 0;  // live, stamped with the graph's clock
    return S_OK;
}

HRESULT CapturePinFaces::SetPushSourceFlags(ULONG) {
    return E_NOTIMPL;
}

HRESULT CapturePinFaces::SetStreamOffset(REFERENCE_TIME offset) {
    m_streamOffset.store(offset);
    return S_OK;
}

HRESULT CapturePinFaces::GetStreamOffset(REFERENCE_TIME* offset) {
    if (offset == nullptr) return E_POINTER;
    *offset = m_streamOffset.load();
    return S_OK;
}

HRESULT CapturePinFaces::GetMaxStreamOffset(REFERENCE_TIME* offset) {
    if (offset == nullptr) return E_POINTER;
    *offset = m_maxStreamOffset.load();
    return S_OK;
}

HRESULT CapturePinFaces::SetMaxStreamOffset(REFERENCE_TIME offset) {
    m_maxStreamOffset.store(offset);
    return S_OK;
}

}  // namespace orvanecam::filter
