#pragma once
// Stands in for a capture client's graph: a sink whose input pin takes the samples, an event sink
// that records Notify calls, and a reference clock. Written directly against the COM interfaces,
// independent of the streaming framework it is used to test.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "sdk/com_ptr.h"
#include "sdk/directshow.h"

namespace orvanecam::graph_host {

// Reference counting for the stand-ins; each deletes itself at zero.
class RefCounted {
  public:
    virtual ~RefCounted() = default;
    ULONG AddRefImpl() { return ++m_refs; }
    ULONG ReleaseImpl() {
        const ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }

  private:
    std::atomic<ULONG> m_refs{1};
};

struct ReceivedSample {
    std::vector<BYTE> head;  // the first bytes of the sample's data
    LONG actualLength;
    bool syncPoint;
    REFERENCE_TIME start;
    REFERENCE_TIME end;
};

struct SinkOptions {
    PIN_DIRECTION direction = PINDIR_INPUT;
    bool memInputPin = true;              // answers IMemInputPin
    bool offerAllocator = false;          // GetAllocator hands out an allocator of its own
    bool refuseSamples = false;           // Receive answers S_FALSE
    ALLOCATOR_PROPERTIES requirements{};  // answered when cbBuffer is not 0
    std::vector<GUID> offeredSubtypes;    // media types offered (major and format GUID_NULL)
    bool enumeratesTypes = true;          // else EnumMediaTypes fails, as some platform pins do
    // Called on the streaming thread with each sample's data (a client's frame callback); when
    // set, the sink keeps no copy of its own.
    std::function<void(const BYTE* data, LONG length)> onSample;
};

// The downstream input pin (created with one reference, owned by the caller).
class SinkPin final : public IPin, public IMemInputPin, public RefCounted {
  public:
    explicit SinkPin(SinkOptions options);
    ~SinkPin() override;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE Connect(IPin*, const AM_MEDIA_TYPE*) override { return E_UNEXPECTED; }
    HRESULT STDMETHODCALLTYPE ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE Disconnect() override;
    HRESULT STDMETHODCALLTYPE ConnectedTo(IPin** pin) override;
    HRESULT STDMETHODCALLTYPE ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT STDMETHODCALLTYPE QueryPinInfo(PIN_INFO* info) override;
    HRESULT STDMETHODCALLTYPE QueryDirection(PIN_DIRECTION* direction) override;
    HRESULT STDMETHODCALLTYPE QueryId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryAccept(const AM_MEDIA_TYPE*) override {
        return m_acceptTypes ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE EnumMediaTypes(IEnumMediaTypes** enumerator) override;
    HRESULT STDMETHODCALLTYPE QueryInternalConnections(IPin**, ULONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE EndOfStream() override;
    HRESULT STDMETHODCALLTYPE BeginFlush() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EndFlush() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override {
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetAllocator(IMemAllocator** allocator) override;
    HRESULT STDMETHODCALLTYPE NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
    HRESULT STDMETHODCALLTYPE GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) override;
    HRESULT STDMETHODCALLTYPE Receive(IMediaSample* sample) override;
    HRESULT STDMETHODCALLTYPE ReceiveMultiple(IMediaSample**, LONG, LONG*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ReceiveCanBlock() override { return S_FALSE; }

    // Waits until at least count samples arrived (or timeoutMs passed); returns how many did.
    std::size_t WaitForSamples(std::size_t count, unsigned timeoutMs);
    // The records of the last kKeptRecords samples (a stream may run for hours).
    std::vector<ReceivedSample> Samples();
    // Every sample received since the connection.
    std::size_t ReceivedCount();
    static constexpr std::size_t kKeptRecords = 4096;
    // Every byte (up to the actual length) of the last sample received.
    std::vector<BYTE> LastSampleData();
    int EndOfStreamCount();
    IMemAllocator* NotifiedAllocator() { return m_notified.Get(); }
    IMemAllocator* OwnAllocator() { return m_ownAllocator.Get(); }
    IPin* Connector() { return m_connector.Get(); }
    const AM_MEDIA_TYPE& ConnectionType() const { return m_type; }
    void SetRefuseSamples(bool refuse) { m_refuseSamples = refuse; }
    // QueryAccept answers S_FALSE while false.
    void SetAcceptTypes(bool accept) { m_acceptTypes = accept; }

  private:
    SinkOptions m_options;
    std::atomic<bool> m_refuseSamples;
    std::atomic<bool> m_acceptTypes{true};
    sdk::ComPtr<IPin> m_connector;
    AM_MEDIA_TYPE m_type{};
    sdk::ComPtr<IMemAllocator> m_ownAllocator;
    sdk::ComPtr<IMemAllocator> m_notified;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::deque<ReceivedSample> m_samples;
    std::size_t m_received = 0;
    std::vector<BYTE> m_lastData;
    int m_endOfStream = 0;
};

struct RecordedEvent {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
};

// The graph as the filter sees it through JoinFilterGraph: only its event sink does anything.
class EventSinkGraph final : public IFilterGraph, public IMediaEventSink, public RefCounted {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }

    HRESULT STDMETHODCALLTYPE AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindFilterByName(LPCWSTR, IBaseFilter**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDefaultSyncSource() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;
    std::vector<RecordedEvent> Events();

  private:
    std::mutex m_mutex;
    std::vector<RecordedEvent> m_events;
};

// Stops filter, disconnects pin from sink (which may be null) and releases sink and filter.
void TearDownCaptureGraph(IBaseFilter* filter, IPin* pin, SinkPin* sink);

// A reference clock without advise support; GetTime is the clock's own.
class ClockBase : public IReferenceClock, public RefCounted {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE AdviseTime(REFERENCE_TIME, REFERENCE_TIME, HEVENT,
                                         DWORD_PTR*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE AdvisePeriodic(REFERENCE_TIME, REFERENCE_TIME, HSEMAPHORE,
                                             DWORD_PTR*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD_PTR) override { return E_NOTIMPL; }
};

// A clock whose time the test sets.
class ManualClock final : public ClockBase {
  public:
    HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME* time) override;

    std::atomic<REFERENCE_TIME> now{0};
};

// A clock running in real time, as a graph's system clock does.
class SystemClock final : public ClockBase {
  public:
    HRESULT STDMETHODCALLTYPE GetTime(REFERENCE_TIME* time) override;
};

}  // namespace orvanecam::graph_host
