#pragma once
// What every capture pin of the module tells a client alike: its category (capture, read only)
// through IKsPropertySet, and through IAMPushSource that it is a live source stamped with the
// graph's clock, with the stream offset a client may set. The pin supplies its latency and its
// IUnknown.
#include <atomic>

#include "sdk/directshow.h"

namespace orvanecam::filter {

class CapturePinFaces : public IKsPropertySet, public IAMPushSource {
  public:
    // IKsPropertySet
    HRESULT STDMETHODCALLTYPE Set(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                  LPVOID data, DWORD dataBytes) override;
    HRESULT STDMETHODCALLTYPE Get(REFGUID set, DWORD id, LPVOID instance, DWORD instanceBytes,
                                  LPVOID data, DWORD dataBytes, DWORD* returned) override;
    HRESULT STDMETHODCALLTYPE QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    // IAMPushSource
    HRESULT STDMETHODCALLTYPE GetPushSourceFlags(ULONG* flags) override;
    HRESULT STDMETHODCALLTYPE SetPushSourceFlags(ULONG flags) override;
    HRESULT STDMETHODCALLTYPE SetStreamOffset(REFERENCE_TIME offset) override;
    HRESULT STDMETHODCALLTYPE GetStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE GetMaxStreamOffset(REFERENCE_TIME* offset) override;
    HRESULT STDMETHODCALLTYPE SetMaxStreamOffset(REFERENCE_TIME offset) override;

  protected:
    ~CapturePinFaces() = default;
    // Added to every time stamp.
    REFERENCE_TIME StreamOffset() const { return m_streamOffset.load(); }

  private:
    std::atomic<REFERENCE_TIME> m_streamOffset{0};
    std::atomic<REFERENCE_TIME> m_maxStreamOffset{0};
};

}  // namespace orvanecam::filter
