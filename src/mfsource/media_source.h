#pragma once
// The camera as a live Media Foundation source: one video stream offering the capture filter's
// sizes in NV12 and YUY2, started, paused and stopped as the platform documents for live
// sources, an IKsControl that supports no property set and an IMFGetService that has no service
// (the frame server asks for both). Creation does little, since the frame server also creates a
// source only to publish the camera: the stream and its types are made at the first question
// about them.
#include <mutex>

#include "mfsource/media_stream.h"
#include "mfsource/queued_events.h"
#include "streaming/unknown.h"

namespace orvanecam::mfsource {

class CameraMediaSource final : public streaming::CUnknown,
                                public QueuedEvents<IMFMediaSourceEx>,
                                public IKsControl,
                                public IMFGetService {
  public:
    // A new source with a reference for the caller, or the failure; the source's attributes
    // start as a copy of activation's (the frame server sets the device's there).
    static HRESULT Create(const camera::CameraIdentity& camera, IMFAttributes* activation,
                          CameraMediaSource** source);
    ~CameraMediaSource() override;

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMFMediaSource
    HRESULT STDMETHODCALLTYPE GetCharacteristics(DWORD* characteristics) override;
    HRESULT STDMETHODCALLTYPE
    CreatePresentationDescriptor(IMFPresentationDescriptor** descriptor) override;
    HRESULT STDMETHODCALLTYPE Start(IMFPresentationDescriptor* descriptor, const GUID* timeFormat,
                                    const PROPVARIANT* startPosition) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Shutdown() override;

    // IMFMediaSourceEx: a Direct3D manager is accepted and not used (samples are in memory).
    HRESULT STDMETHODCALLTYPE GetSourceAttributes(IMFAttributes** attributes) override;
    HRESULT STDMETHODCALLTYPE GetStreamAttributes(DWORD streamId,
                                                  IMFAttributes** attributes) override;
    HRESULT STDMETHODCALLTYPE SetD3DManager(IUnknown* manager) override;

    // IKsControl: every set is unknown here.
    HRESULT STDMETHODCALLTYPE KsProperty(PKSPROPERTY property, ULONG propertyBytes, LPVOID data,
                                         ULONG dataBytes, ULONG* returned) override;
    HRESULT STDMETHODCALLTYPE KsMethod(PKSMETHOD method, ULONG methodBytes, LPVOID data,
                                       ULONG dataBytes, ULONG* returned) override;
    HRESULT STDMETHODCALLTYPE KsEvent(PKSEVENT event, ULONG eventBytes, LPVOID data,
                                      ULONG dataBytes, ULONG* returned) override;

    // IMFGetService: no service, and MF_E_SHUTDOWN once shut down.
    HRESULT STDMETHODCALLTYPE GetService(REFGUID service, REFIID iid, LPVOID* object) override;

    bool IsShutDown();

  private:
    enum class State { kStopped, kStarted, kPaused, kShutdown };

    explicit CameraMediaSource(const camera::CameraIdentity& camera);
    // The stream, its descriptor and the presentation descriptor, once; in m_lock.
    HRESULT MakeStreamOnce();
    // The started stream's format from the caller's descriptor, and whether it selects the stream.
    HRESULT ReadSelection(IMFPresentationDescriptor* descriptor, bool& selected,
                          StreamFormat& format);

    std::mutex m_lock;
    State m_state = State::kStopped;
    bool m_streamActive = false;
    sdk::ComPtr<IMFAttributes> m_attributes;
    sdk::ComPtr<IMFStreamDescriptor> m_streamDescriptor;
    sdk::ComPtr<IMFPresentationDescriptor> m_descriptor;
    const camera::CameraIdentity& m_camera;
    sdk::ComPtr<CameraMediaStream> m_stream;
};

}  // namespace orvanecam::mfsource
