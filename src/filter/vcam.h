#pragma once
// The capture filter a client creates through COM: a live source with the one camera stream.
#include "camera/identity.h"
#include "filter/live_source_filter.h"
#include "sdk/directshow.h"
#include "sdk/guid_text.h"

namespace orvanecam::filter {

inline constexpr GUID kCameraClassId = sdk::GuidOf(camera::kFirstCamera.filterClass);

// The camera's one output pin, by this name in the graph and in the registration.
inline constexpr WCHAR kPinName[] = OLESTR("OrvaneCam2Video");

class CVCamStream;

class CVCam final : public LiveSourceFilter {
  public:
    // The creation function of the class factory, for camera 1: *result reports adding the pin.
    static streaming::CUnknown* CreateInstance(IUnknown* outer, HRESULT* result);
    // The filter of camera: its class id, and its stream fed by that camera's block.
    static CVCam* CreateFor(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result);

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    CVCamStream* Stream() { return m_stream; }
    const camera::CameraIdentity& Camera() const { return m_camera; }

  private:
    // The stream's configuration as the filter offers it: the stream's behaviour, the filter's
    // identity, so QueryInterface from it leads back to the filter.
    class ConfigFace final : public IAMStreamConfig, public IKsPropertySet {
      public:
        explicit ConfigFace(CVCam& filter) : m_filter(filter) {}
        virtual ~ConfigFace() = default;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;
        HRESULT STDMETHODCALLTYPE SetFormat(AM_MEDIA_TYPE* mediaType) override;
        HRESULT STDMETHODCALLTYPE GetFormat(AM_MEDIA_TYPE** mediaType) override;
        HRESULT STDMETHODCALLTYPE GetNumberOfCapabilities(int* count, int* size) override;
        HRESULT STDMETHODCALLTYPE GetStreamCaps(int index, AM_MEDIA_TYPE** mediaType,
                                                BYTE* caps) override;
        HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                      LPVOID data, DWORD dataBytes) override;
        HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                      LPVOID data, DWORD dataBytes, DWORD* returned) override;
        HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

      private:
        CVCam& m_filter;
    };

    CVCam(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result);

    const camera::CameraIdentity& m_camera;
    CVCamStream* m_stream = nullptr;
    ConfigFace m_configFace{*this};
};

}  // namespace orvanecam::filter
