#pragma once
// The filter: state machine, clock, graph membership and pin access.
#include "sdk/com_ptr.h"
#include "sdk/directshow.h"
#include "streaming/unknown.h"
#include "streaming/wide_text.h"

namespace orvanecam::streaming {

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter, public IAMovieSetup {
  public:
    CBaseFilter(IUnknown* outer, CCritSec* lock, REFCLSID classId);
    ~CBaseFilter() override;

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IPersist
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override;
    // IMediaFilter
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE Run(REFERENCE_TIME start) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    HRESULT STDMETHODCALLTYPE SetSyncSource(IReferenceClock* clock) override;
    HRESULT STDMETHODCALLTYPE GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    HRESULT STDMETHODCALLTYPE EnumPins(IEnumPins** enumerator) override;
    HRESULT STDMETHODCALLTYPE FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT STDMETHODCALLTYPE QueryFilterInfo(FILTER_INFO* info) override;
    HRESULT STDMETHODCALLTYPE JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT STDMETHODCALLTYPE QueryVendorInfo(LPWSTR* vendorInfo) override;
    // IAMovieSetup: there is no setup data, so neither does anything.
    HRESULT STDMETHODCALLTYPE Register() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Unregister() override { return S_FALSE; }

    virtual HRESULT StreamTime(REFERENCE_TIME& time);
    virtual LONG GetPinVersion() { return m_pinVersion; }
    virtual int GetPinCount() = 0;
    // The pin at index, or null; no reference is added.
    virtual CBasePin* GetPin(int index) = 0;

    HRESULT NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2);
    bool IsStopped() const { return m_state == State_Stopped; }
    bool IsActive() const { return m_state != State_Stopped; }
    // The graph the filter has joined, or null; no reference is added.
    IFilterGraph* Graph() const { return m_graph; }
    IBaseFilter* AsBaseFilter() { return this; }
    // Reference-counting through the filter's public face.
    ULONG AddRefFilter() { return static_cast<IBaseFilter&>(*this).AddRef(); }
    ULONG ReleaseFilter() { return static_cast<IBaseFilter&>(*this).Release(); }

  protected:
    // All members are guarded by the state lock (*m_lock), which every method taking or reading
    // them holds; the lock itself and the class id never change.
    FILTER_STATE m_state = State_Stopped;
    sdk::ComPtr<IReferenceClock> m_clock;
    REFERENCE_TIME m_start = 0;
    CLSID m_classId;
    CCritSec* m_lock;
    WideString m_name;
    IFilterGraph* m_graph = nullptr;
    IMediaEventSink* m_sink = nullptr;
    LONG m_pinVersion = 1;

  private:
    // Calls operation on every connected pin in order.
    template <class Operation>
    HRESULT ForConnectedPins(Operation&& operation, bool stopAtFailure);
};

}  // namespace orvanecam::streaming
