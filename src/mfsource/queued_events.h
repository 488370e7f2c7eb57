#pragma once
// IMFMediaEventGenerator over the platform's event queue, for the source and its stream. The
// queue is thread-safe and answers MF_E_SHUTDOWN by itself once shut down, so no lock is needed.
#include "sdk/com_ptr.h"
#include "sdk/media_foundation.h"

namespace orvanecam::mfsource {

template <class Interface>
class QueuedEvents : public Interface {
  public:
    HRESULT STDMETHODCALLTYPE GetEvent(DWORD flags, IMFMediaEvent** event) override {
        return m_events ? m_events->GetEvent(flags, event) : MF_E_SHUTDOWN;
    }
    HRESULT STDMETHODCALLTYPE BeginGetEvent(IMFAsyncCallback* callback, IUnknown* state) override {
        return m_events ? m_events->BeginGetEvent(callback, state) : MF_E_SHUTDOWN;
    }
    HRESULT STDMETHODCALLTYPE EndGetEvent(IMFAsyncResult* result, IMFMediaEvent** event) override {
        return m_events ? m_events->EndGetEvent(result, event) : MF_E_SHUTDOWN;
    }
    HRESULT STDMETHODCALLTYPE QueueEvent(MediaEventType type, REFGUID extended, HRESULT status,
                                         const PROPVARIANT* value) override {
        return m_events ? m_events->QueueEventParamVar(type, extended, status, value)
                        : MF_E_SHUTDOWN;
    }

  protected:
    QueuedEvents() { (void)MFCreateEventQueue(m_events.Put()); }
    ~QueuedEvents() {
        if (m_events) (void)m_events->Shutdown();
    }
    // Null only when the queue could not be made; creators check this.
    sdk::ComPtr<IMFMediaEventQueue> m_events;
};

}  // namespace orvanecam::mfsource
