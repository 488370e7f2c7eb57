// A stand-in for Windows 11's mfsensorgroup.dll, so that orvanecam-mfcamera can be tested under
// Wine, which has none. Every call it receives is written as one line to the file named by
// ORVANECAM_FAKE_CAMERA_LOG; Start answers the HRESULT in ORVANECAM_FAKE_CAMERA_START
// (hexadecimal) when that is set.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/utf16.h"
#include "sdk/guid_text.h"
#include "sdk/virtual_camera.h"

namespace {

using namespace orvanecam;

void Log(const std::string& line) {
    const char* path = std::getenv("ORVANECAM_FAKE_CAMERA_LOG");
    if (path == nullptr) return;
    if (FILE* file = std::fopen(path, "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string Text(LPCWSTR text) {
    return text != nullptr ? platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(text)) : "";
}

class FakeCamera final : public sdk::IMFVirtualCamera {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }

    // IMFAttributes: the tool sets none.
    HRESULT STDMETHODCALLTYPE GetItem(REFGUID, PROPVARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemType(REFGUID, MF_ATTRIBUTE_TYPE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CompareItem(REFGUID, REFPROPVARIANT, BOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Compare(IMFAttributes*, MF_ATTRIBUTES_MATCH_TYPE, BOOL*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetUINT32(REFGUID, UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetUINT64(REFGUID, UINT64*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDouble(REFGUID, double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGUID(REFGUID, GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStringLength(REFGUID, UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetString(REFGUID, LPWSTR, UINT32, UINT32*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAllocatedString(REFGUID, LPWSTR*, UINT32*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetBlobSize(REFGUID, UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBlob(REFGUID, UINT8*, UINT32, UINT32*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetAllocatedBlob(REFGUID, UINT8**, UINT32*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetUnknown(REFGUID, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetItem(REFGUID, REFPROPVARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteItem(REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteAllItems() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetUINT32(REFGUID, UINT32) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetUINT64(REFGUID, UINT64) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDouble(REFGUID, double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGUID(REFGUID, REFGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetString(REFGUID, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBlob(REFGUID, const UINT8*, UINT32) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetUnknown(REFGUID, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockStore() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockStore() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCount(UINT32*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetItemByIndex(UINT32, GUID*, PROPVARIANT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CopyAllItems(IMFAttributes*) override { return E_NOTIMPL; }

    // IMFVirtualCamera: the calls the tool makes are logged.
    HRESULT STDMETHODCALLTYPE AddDeviceSourceInfo(LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddProperty(const void*, ULONG, const BYTE*, ULONG) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AddRegistryEntry(LPCWSTR, LPCWSTR, DWORD, const BYTE*,
                                               ULONG) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Start(IMFAsyncCallback*) override {
        Log("start");
        const char* answer = std::getenv("ORVANECAM_FAKE_CAMERA_START");
        return answer != nullptr ? static_cast<HRESULT>(std::strtoul(answer, nullptr, 16)) : S_OK;
    }
    HRESULT STDMETHODCALLTYPE Stop() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove() override {
        Log("remove");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMediaSource(IMFMediaSource**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SendCameraProperty(const GUID*, ULONG, ULONG, void*, ULONG, void*,
                                                 ULONG, ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSyncEvent(const GUID*, ULONG, ULONG, HANDLE,
                                              IUnknown**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSyncSemaphore(const GUID*, ULONG, ULONG, HANDLE, LONG,
                                                  IUnknown**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Shutdown() override {
        Log("shutdown");
        return S_OK;
    }

  private:
    ULONG m_references = 1;
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE
    MFCreateVirtualCamera(sdk::MFVirtualCameraType, sdk::MFVirtualCameraLifetime lifetime,
                          sdk::MFVirtualCameraAccess access, LPCWSTR friendlyName, LPCWSTR sourceId,
                          const GUID* categories, ULONG categoryCount,
                          sdk::IMFVirtualCamera** camera) {
    std::string line =
        "create name=" + Text(friendlyName) + " lifetime=" + std::to_string(lifetime) +
        " access=" + std::to_string(access) + " source=" + Text(sourceId) + " categories=";
    for (ULONG i = 0; categories != nullptr && i < categoryCount; ++i) {
        line += platform::Utf16ToUtf8(sdk::GuidText(categories[i])) + " ";
    }
    Log(line + "count=" + std::to_string(categoryCount));
    *camera = new FakeCamera();
    return S_OK;
}
