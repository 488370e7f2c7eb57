#pragma once
// The Windows 11 virtual camera API (mfvirtualcamera.h, absent from the MinGW headers), as the
// Windows SDK documents it: the interface in its vtable order and the creation function, which
// lives in mfsensorgroup.dll from build 22000 on and is loaded at run time.
#include <optional>

#include "platform/shared_library.h"
#include "sdk/media_foundation.h"

namespace orvanecam::sdk {

enum MFVirtualCameraType { MFVirtualCameraType_SoftwareCameraSource = 0 };
enum MFVirtualCameraLifetime {
    MFVirtualCameraLifetime_Session = 0,
    MFVirtualCameraLifetime_System = 1
};
enum MFVirtualCameraAccess {
    MFVirtualCameraAccess_CurrentUser = 0,
    MFVirtualCameraAccess_AllUsers = 1
};

// KSCATEGORY_VIDEO_CAMERA: the category Media Foundation apps list cameras from. Without a list
// of categories a virtual camera is also published under the video and capture categories,
// where DirectShow apps find it beside the camera's own filter.
// {E5323777-F976-4F5B-9B55-B94699C46E44}
inline constexpr GUID kVideoCameraCategory = {
    0xe5323777, 0xf976, 0x4f5b, {0x9b, 0x55, 0xb9, 0x46, 0x99, 0xc4, 0x6e, 0x44}};

// {1C08A864-EF6C-4C75-AF59-5F2D68DA9563}
inline constexpr IID IID_IMFVirtualCamera = {
    0x1c08a864, 0xef6c, 0x4c75, {0xaf, 0x59, 0x5f, 0x2d, 0x68, 0xda, 0x95, 0x63}};

struct IMFVirtualCamera : public IMFAttributes {
    virtual HRESULT STDMETHODCALLTYPE AddDeviceSourceInfo(LPCWSTR deviceSourceInfo) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddProperty(const void* key, ULONG type, const BYTE* data,
                                                  ULONG bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE AddRegistryEntry(LPCWSTR entryName, LPCWSTR subkeyPath,
                                                       DWORD type, const BYTE* data,
                                                       ULONG bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE Start(IMFAsyncCallback* callback) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE Remove() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMediaSource(IMFMediaSource** source) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendCameraProperty(const GUID* set, ULONG id, ULONG flags,
                                                         void* payload, ULONG payloadBytes,
                                                         void* data, ULONG dataBytes,
                                                         ULONG* written) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSyncEvent(const GUID* set, ULONG id, ULONG flags,
                                                      HANDLE event, IUnknown** syncObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateSyncSemaphore(const GUID* set, ULONG id, ULONG flags,
                                                          HANDLE semaphore, LONG adjustment,
                                                          IUnknown** syncObject) = 0;
    virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;

  protected:
    ~IMFVirtualCamera() = default;
};

using MFCreateVirtualCameraFunction = HRESULT(STDAPICALLTYPE*)(
    MFVirtualCameraType type, MFVirtualCameraLifetime lifetime, MFVirtualCameraAccess access,
    LPCWSTR friendlyName, LPCWSTR sourceId, const GUID* categories, ULONG categoryCount,
    IMFVirtualCamera** camera);

// The creation function, valid while its library stays loaded.
struct VirtualCameraApi {
    platform::SharedLibrary library;
    MFCreateVirtualCameraFunction create;
};

// From Windows 11 (build 22000) on; earlier systems, and Wine, have no such library.
inline std::optional<VirtualCameraApi> LoadVirtualCameraApi() {
    auto library = platform::SharedLibrary::Load("mfsensorgroup.dll");
    if (!library) return std::nullopt;
    const auto create =
        reinterpret_cast<MFCreateVirtualCameraFunction>(library->Symbol("MFCreateVirtualCamera"));
    if (create == nullptr) return std::nullopt;
    return VirtualCameraApi{std::move(*library), create};
}

}  // namespace orvanecam::sdk
