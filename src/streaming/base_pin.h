#pragma once
// The pin: identity, connection negotiation and media type. Its reference count is its filter's.
#include "sdk/com_ptr.h"
#include "sdk/directshow.h"
#include "streaming/media_type.h"
#include "streaming/unknown.h"
#include "streaming/wide_text.h"

namespace orvanecam::streaming {

class CBaseFilter;

class CBasePin : public CUnknown, public IPin, public IQualityControl {
  public:
    CBasePin(CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName, PIN_DIRECTION direction);
    ~CBasePin() override;

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // IPin
    HRESULT STDMETHODCALLTYPE Connect(IPin* receivePin, const AM_MEDIA_TYPE* mediaType) override;
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector,
                                                const AM_MEDIA_TYPE* mediaType) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* mediaType) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR* id) override;
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE* mediaType) override;
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin** pins, ULONG* count) override;
    HRESULT STDMETHODCALLTYPE EndOfStream() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return E_UNEXPECTED; }
    // An output pin has no segment to keep and does no quality control.
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
        return S_OK;
    }
    // IQualityControl
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* self, Quality quality) override;
    HRESULT STDMETHODCALLTYPE SetSink(IQualityControl*) override { return S_OK; }

    virtual LONG GetMediaTypeVersion() { return m_typeVersion; }
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME) { return S_OK; }
    // The filter went from running back to paused.
    virtual HRESULT Pause() { return S_OK; }
    virtual HRESULT CheckMediaType(const CMediaType* mediaType) = 0;
    virtual HRESULT SetMediaType(const CMediaType* mediaType);
    virtual HRESULT CheckConnect(IPin* pin) = 0;
    virtual HRESULT BreakConnect() = 0;
    virtual HRESULT CompleteConnect(IPin* receivePin) = 0;
    virtual HRESULT GetMediaType(int position, CMediaType* mediaType) = 0;

    bool IsConnected() const { return m_connected != nullptr; }
    IPin* GetConnected() const { return m_connected.Get(); }
    IPin* AsPin() { return this; }
    CBaseFilter* Filter() const { return m_filter; }

  protected:
    // m_connected, m_mt and m_typeVersion change only under the filter's state lock (*m_lock),
    // which the methods reading them for a client hold too; the rest never change.
    const WideString m_name;
    sdk::ComPtr<IPin> m_connected;
    PIN_DIRECTION m_direction;
    CCritSec* m_lock;
    CBaseFilter* m_filter;
    LONG m_typeVersion = 1;
    CMediaType m_mt;

  private:
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* mediaType);
    HRESULT TryTypesFrom(IPin* enumeratorPin, IPin* receivePin, const AM_MEDIA_TYPE* partial);
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType& mediaType);
    // CheckConnect with pin, then CheckMediaType (anything but S_OK refuses the type); on a
    // failure the connection state is broken down again.
    HRESULT CheckCandidate(IPin* pin, const CMediaType& mediaType);
};

}  // namespace orvanecam::streaming
