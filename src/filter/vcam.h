#pragma once
// The capture filter a client creates through COM: a source with the one camera stream.
#include "sdk/directshow.h"
#include "streaming/source.h"

namespace orvanecam::filter {

// {5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}
inline constexpr GUID kCameraClassId = {
    0x5b2e9c47, 0x81d3, 0x4f6a, {0x9c, 0x1e, 0x3a, 0x7d, 0x0b, 0x64, 0xe2, 0xf9}};

class CVCamStream;

class CVCam final : public streaming::CSource {
  public:
    // The creation function of the class factory: *result reports adding the pin.
    static streaming::CUnknown* CreateInstance(IUnknown* outer, HRESULT* result);

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    CVCamStream* Stream() { return m_stream; }

  private:
    CVCam(IUnknown* outer, HRESULT* result);

    CVCamStream* m_stream = nullptr;
};

}  // namespace orvanecam::filter
