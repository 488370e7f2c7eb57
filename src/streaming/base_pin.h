#pragma once
// The pin: identity, connection negotiation and media type. Its reference count is its filter's.
#include "sdk/directshow.h"
#include "streaming/media_type.h"
#include "streaming/unknown.h"

namespace orvanecam::streaming {

class CBaseFilter;

class CBasePin : public CUnknown, public IPin, public IQualityControl {
  public:
    CBasePin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* result,
             LPCWSTR pinName, PIN_DIRECTION direction);
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
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop,
                                         double rate) override;
    // IQualityControl
    HRESULT STDMETHODCALLTYPE Notify(IBaseFilter* self, Quality quality) override;
    HRESULT STDMETHODCALLTYPE SetSink(IQualityControl* sink) override;

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
    IPin* GetConnected() const { return m_connected; }
    IPin* AsPin() { return this; }
    CBaseFilter* Filter() const { return m_filter; }

  protected:
    WCHAR* m_name;
    IPin* m_connected = nullptr;
    PIN_DIRECTION m_direction;
    CCritSec* m_lock;
    bool m_runTimeError = false;
    bool m_canReconnectWhenActive = false;
    bool m_tryMyTypesFirst = false;
    CBaseFilter* m_filter;
    IQualityControl* m_qualitySink = nullptr;
    LONG m_typeVersion = 1;
    CMediaType m_mt;
    REFERENCE_TIME m_segmentStart = 0;
    REFERENCE_TIME m_segmentStop = 0x7FFFFFFFFFFFFFFF;
    double m_segmentRate = 1.0;

  private:
    HRESULT AgreeMediaType(IPin* receivePin, const AM_MEDIA_TYPE* mediaType);
    HRESULT TryTypesFrom(IPin* enumeratorPin, IPin* receivePin, const AM_MEDIA_TYPE* partial);
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType& mediaType);
    // CheckConnect with pin, then CheckMediaType (anything but S_OK refuses the type); on a
    // failure the connection state is broken down again.
    HRESULT CheckCandidate(IPin* pin, const CMediaType& mediaType);
};

}  // namespace orvanecam::streaming
