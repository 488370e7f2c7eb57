#pragma once
// A camera's microphone as a DirectShow audio capture device: a live source with one stream of
// the camera's sound.
#include "camera/identity.h"
#include "filter/live_source_filter.h"
#include "sdk/guid_text.h"

namespace orvanecam::filter {

// The microphone's one output pin, by this name in the graph and in the registration.
inline constexpr WCHAR kMicrophonePinName[] = OLESTR("OrvaneCam2Audio");

class CMicrophoneStream;

class CMicrophone final : public LiveSourceFilter {
  public:
    // The microphone of camera: its class id, and its stream fed by that camera's sound ring.
    static CMicrophone* CreateFor(const camera::CameraIdentity& camera, IUnknown* outer,
                                  HRESULT* result);

    CMicrophoneStream* Stream() { return m_stream; }
    const camera::CameraIdentity& Camera() const { return m_camera; }

  private:
    CMicrophone(const camera::CameraIdentity& camera, IUnknown* outer, HRESULT* result);

    const camera::CameraIdentity& m_camera;
    CMicrophoneStream* m_stream = nullptr;
};

}  // namespace orvanecam::filter
