#pragma once
// The activation object the media source's class creates: attributes the caller may set (the
// frame server sets the device's, and the source starts with a copy of them), and
// ActivateObject, which hands out one source until that source is shut down and then makes a new
// one. The frame server ends a source's life through its own Shutdown, so ShutdownObject and
// DetachObject are not implemented, as its contract for custom sources asks.
#include <mutex>

#include "mfsource/media_source.h"

namespace orvanecam::mfsource {

class SourceActivate final : public streaming::CUnknown, public IMFActivate {
  public:
    explicit SourceActivate(const camera::CameraIdentity& camera);
    ~SourceActivate() override;
    bool IsValid() const { return static_cast<bool>(m_attributes); }

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMFActivate
    HRESULT STDMETHODCALLTYPE ActivateObject(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE ShutdownObject() override;
    HRESULT STDMETHODCALLTYPE DetachObject() override;

    // IMFAttributes, kept in the platform's attribute store.
    HRESULT STDMETHODCALLTYPE GetItem(REFGUID key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE GetItemType(REFGUID key, MF_ATTRIBUTE_TYPE* type) override;
    HRESULT STDMETHODCALLTYPE CompareItem(REFGUID key, REFPROPVARIANT value, BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Compare(IMFAttributes* other, MF_ATTRIBUTES_MATCH_TYPE type,
                                      BOOL* result) override;
    HRESULT STDMETHODCALLTYPE GetUINT32(REFGUID key, UINT32* value) override;
    HRESULT STDMETHODCALLTYPE GetUINT64(REFGUID key, UINT64* value) override;
    HRESULT STDMETHODCALLTYPE GetDouble(REFGUID key, double* value) override;
    HRESULT STDMETHODCALLTYPE GetGUID(REFGUID key, GUID* value) override;
    HRESULT STDMETHODCALLTYPE GetStringLength(REFGUID key, UINT32* length) override;
    HRESULT STDMETHODCALLTYPE GetString(REFGUID key, LPWSTR value, UINT32 size,
                                        UINT32* length) override;
    HRESULT STDMETHODCALLTYPE GetAllocatedString(REFGUID key, LPWSTR* value,
                                                 UINT32* length) override;
    HRESULT STDMETHODCALLTYPE GetBlobSize(REFGUID key, UINT32* size) override;
    HRESULT STDMETHODCALLTYPE GetBlob(REFGUID key, UINT8* buffer, UINT32 size,
                                      UINT32* written) override;
    HRESULT STDMETHODCALLTYPE GetAllocatedBlob(REFGUID key, UINT8** buffer, UINT32* size) override;
    HRESULT STDMETHODCALLTYPE GetUnknown(REFGUID key, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE SetItem(REFGUID key, REFPROPVARIANT value) override;
    HRESULT STDMETHODCALLTYPE DeleteItem(REFGUID key) override;
    HRESULT STDMETHODCALLTYPE DeleteAllItems() override;
    HRESULT STDMETHODCALLTYPE SetUINT32(REFGUID key, UINT32 value) override;
    HRESULT STDMETHODCALLTYPE SetUINT64(REFGUID key, UINT64 value) override;
    HRESULT STDMETHODCALLTYPE SetDouble(REFGUID key, double value) override;
    HRESULT STDMETHODCALLTYPE SetGUID(REFGUID key, REFGUID value) override;
    HRESULT STDMETHODCALLTYPE SetString(REFGUID key, LPCWSTR value) override;
    HRESULT STDMETHODCALLTYPE SetBlob(REFGUID key, const UINT8* buffer, UINT32 size) override;
    HRESULT STDMETHODCALLTYPE SetUnknown(REFGUID key, IUnknown* object) override;
    HRESULT STDMETHODCALLTYPE LockStore() override;
    HRESULT STDMETHODCALLTYPE UnlockStore() override;
    HRESULT STDMETHODCALLTYPE GetCount(UINT32* count) override;
    HRESULT STDMETHODCALLTYPE GetItemByIndex(UINT32 index, GUID* key, PROPVARIANT* value) override;
    HRESULT STDMETHODCALLTYPE CopyAllItems(IMFAttributes* destination) override;

  private:
    const camera::CameraIdentity& m_camera;
    std::mutex m_lock;
    sdk::ComPtr<IMFAttributes> m_attributes;
    sdk::ComPtr<CameraMediaSource> m_source;
};

}  // namespace orvanecam::mfsource
