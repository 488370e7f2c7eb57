#include "mfsource/source_activate.h"

#include <new>

#include "mfsource/source_class.h"
#include "platform/shared_library.h"

namespace orvanecam::mfsource {

SourceActivate::SourceActivate(const camera::CameraIdentity& camera)
    : streaming::CUnknown(nullptr), m_camera(camera) {
    (void)MFCreateAttributes(m_attributes.Put(), 4);
}

SourceActivate::~SourceActivate() = default;

HRESULT SourceActivate::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IMFActivate || iid == IID_IMFAttributes) {
        return GetInterface(static_cast<IMFActivate*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT SourceActivate::ActivateObject(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    std::lock_guard lock(m_lock);
    if (!m_source || m_source->IsShutDown()) {
        m_source.Reset();
        CameraMediaSource* created = nullptr;
        const HRESULT result = CameraMediaSource::Create(m_camera, m_attributes.Get(), &created);
        if (FAILED(result)) return result;
        m_source = sdk::ComPtr<CameraMediaSource>::Adopt(created);
    }
    return m_source->QueryInterface(iid, object);
}

HRESULT SourceActivate::ShutdownObject() {
    return E_NOTIMPL;
}

HRESULT SourceActivate::DetachObject() {
    return E_NOTIMPL;
}

// Every attribute call goes to the store.
HRESULT SourceActivate::GetItem(REFGUID key, PROPVARIANT* value) {
    return m_attributes->GetItem(key, value);
}
HRESULT SourceActivate::GetItemType(REFGUID key, MF_ATTRIBUTE_TYPE* type) {
    return m_attributes->GetItemType(key, type);
}
HRESULT SourceActivate::CompareItem(REFGUID key, REFPROPVARIANT value, BOOL* result) {
    return m_attributes->CompareItem(key, value, result);
}
HRESULT SourceActivate::Compare(IMFAttributes* other, MF_ATTRIBUTES_MATCH_TYPE type, BOOL* result) {
    return m_attributes->Compare(other, type, result);
}
HRESULT SourceActivate::GetUINT32(REFGUID key, UINT32* value) {
    return m_attributes->GetUINT32(key, value);
}
HRESULT SourceActivate::GetUINT64(REFGUID key, UINT64* value) {
    return m_attributes->GetUINT64(key, value);
}
HRESULT SourceActivate::GetDouble(REFGUID key, double* value) {
    return m_attributes->GetDouble(key, value);
}
HRESULT SourceActivate::GetGUID(REFGUID key, GUID* value) {
    return m_attributes->GetGUID(key, value);
}
HRESULT SourceActivate::GetStringLength(REFGUID key, UINT32* length) {
    return m_attributes->GetStringLength(key, length);
}
HRESULT SourceActivate::GetString(REFGUID key, LPWSTR value, UINT32 size, UINT32* length) {
    return m_attributes->GetString(key, value, size, length);
}
HRESULT SourceActivate::GetAllocatedString(REFGUID key, LPWSTR* value, UINT32* length) {
    return m_attributes->GetAllocatedString(key, value, length);
}
HRESULT SourceActivate::GetBlobSize(REFGUID key, UINT32* size) {
    return m_attributes->GetBlobSize(key, size);
}
HRESULT SourceActivate::GetBlob(REFGUID key, UINT8* buffer, UINT32 size, UINT32* written) {
    return m_attributes->GetBlob(key, buffer, size, written);
}
HRESULT SourceActivate::GetAllocatedBlob(REFGUID key, UINT8** buffer, UINT32* size) {
    return m_attributes->GetAllocatedBlob(key, buffer, size);
}
HRESULT SourceActivate::GetUnknown(REFGUID key, REFIID iid, void** object) {
    return m_attributes->GetUnknown(key, iid, object);
}
HRESULT SourceActivate::SetItem(REFGUID key, REFPROPVARIANT value) {
    return m_attributes->SetItem(key, value);
}
HRESULT SourceActivate::DeleteItem(REFGUID key) {
    return m_attributes->DeleteItem(key);
}
HRESULT SourceActivate::DeleteAllItems() {
    return m_attributes->DeleteAllItems();
}
HRESULT SourceActivate::SetUINT32(REFGUID key, UINT32 value) {
    return m_attributes->SetUINT32(key, value);
}
HRESULT SourceActivate::SetUINT64(REFGUID key, UINT64 value) {
    return m_attributes->SetUINT64(key, value);
}
HRESULT SourceActivate::SetDouble(REFGUID key, double value) {
    return m_attributes->SetDouble(key, value);
}
HRESULT SourceActivate::SetGUID(REFGUID key, REFGUID value) {
    return m_attributes->SetGUID(key, value);
}
HRESULT SourceActivate::SetString(REFGUID key, LPCWSTR value) {
    return m_attributes->SetString(key, value);
}
HRESULT SourceActivate::SetBlob(REFGUID key, const UINT8* buffer, UINT32 size) {
    return m_attributes->SetBlob(key, buffer, size);
}
HRESULT SourceActivate::SetUnknown(REFGUID key, IUnknown* object) {
    return m_attributes->SetUnknown(key, object);
}
HRESULT SourceActivate::LockStore() {
    return m_attributes->LockStore();
}
HRESULT SourceActivate::UnlockStore() {
    return m_attributes->UnlockStore();
}
HRESULT SourceActivate::GetCount(UINT32* count) {
    return m_attributes->GetCount(count);
}
HRESULT SourceActivate::GetItemByIndex(UINT32 index, GUID* key, PROPVARIANT* value) {
    return m_attributes->GetItemByIndex(index, key, value);
}
HRESULT SourceActivate::CopyAllItems(IMFAttributes* destination) {
    return m_attributes->CopyAllItems(destination);
}

namespace {

// The module loads Media Foundation at the first call of one of its functions; where it is
// absent that call would end the host process, so activation asks first.
bool MediaFoundationPresent() {
    static const bool present = platform::SharedLibrary::Load("mfplat.dll").has_value();
    return present;
}

}  // namespace

streaming::CUnknown* CreateSourceActivate(const camera::CameraIdentity& camera, IUnknown* outer,
                                          HRESULT* result) {
    if (outer != nullptr) {
        *result = CLASS_E_NOAGGREGATION;
        return nullptr;
    }
    if (!MediaFoundationPresent()) {
        *result = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto* activate = new (std::nothrow) SourceActivate(camera);
    if (activate == nullptr) {
        *result = E_OUTOFMEMORY;
        return nullptr;
    }
    if (!activate->IsValid()) *result = E_OUTOFMEMORY;
    return activate;
}

}  // namespace orvanecam::mfsource
