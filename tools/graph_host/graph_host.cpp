#include "graph_host/graph_host.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "platform/clock.h"

namespace orvanecam::graph_host {
namespace {

template <class Face>
HRESULT Hand(Face* face, void** object) {
    *object = face;
    face->AddRef();
    return S_OK;
}

// Enumerates media types that carry only a subtype.
class SubtypeEnumerator final : public IEnumMediaTypes, public RefCounted {
  public:
    SubtypeEnumerator(std::vector<GUID> subtypes, std::size_t position)
        : m_subtypes(std::move(subtypes)), m_position(position) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) return Hand(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override {
        ULONG done = 0;
        while (done < count && m_position < m_subtypes.size()) {
            auto* type = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
            std::memset(static_cast<void*>(type), 0, sizeof(AM_MEDIA_TYPE));
            type->subtype = m_subtypes[m_position++];
            types[done++] = type;
        }
        if (fetched != nullptr) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        m_position = std::min<std::size_t>(m_subtypes.size(), m_position + count);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** clone) override {
        *clone = new SubtypeEnumerator(m_subtypes, m_position);
        return S_OK;
    }

  private:
    std::vector<GUID> m_subtypes;
    std::size_t m_position;
};

}  // namespace

SinkPin::SinkPin(SinkOptions options)
    : m_options(std::move(options)), m_refuseSamples(m_options.refuseSamples) {
    if (m_options.offerAllocator) {
        CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                         m_ownAllocator.PutVoid());
    }
}

SinkPin::~SinkPin() {
    if (m_type.cbFormat != 0) CoTaskMemFree(m_type.pbFormat);
}

HRESULT SinkPin::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPin) return Hand(static_cast<IPin*>(this), object);
    if (iid == IID_IMemInputPin && m_options.memInputPin) {
        return Hand(static_cast<IMemInputPin*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT SinkPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (connector == nullptr || mt == nullptr) return E_POINTER;
    if (m_connector != nullptr) return VFW_E_ALREADY_CONNECTED;
    m_connector = sdk::ComPtr<IPin>::Share(connector);
    if (m_type.cbFormat != 0) CoTaskMemFree(m_type.pbFormat);
    m_type = *mt;
    m_type.pUnk = nullptr;
    if (mt->cbFormat != 0) {
        m_type.pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(mt->cbFormat));
        std::memcpy(m_type.pbFormat, mt->pbFormat, mt->cbFormat);
    }
    return S_OK;
}

HRESULT SinkPin::Disconnect() {
    if (m_connector == nullptr) return S_FALSE;
    m_connector.Reset();
    return S_OK;
}

HRESULT SinkPin::ConnectedTo(IPin** pin) {
    *pin = sdk::ComPtr<IPin>(m_connector).Detach();
    return *pin == nullptr ? VFW_E_NOT_CONNECTED : S_OK;
}

HRESULT SinkPin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (m_connector == nullptr) return VFW_E_NOT_CONNECTED;
    *mt = m_type;
    mt->cbFormat = 0;
    mt->pbFormat = nullptr;
    return S_OK;
}

HRESULT SinkPin::QueryPinInfo(PIN_INFO* info) {
    info->pFilter = nullptr;
    info->dir = m_options.direction;
    info->achName[0] = 0;
    return S_OK;
}

HRESULT SinkPin::QueryDirection(PIN_DIRECTION* direction) {
    *direction = m_options.direction;
    return S_OK;
}

HRESULT SinkPin::EnumMediaTypes(IEnumMediaTypes** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    if (!m_options.enumeratesTypes) return VFW_E_NOT_CONNECTED;
    *enumerator = new SubtypeEnumerator(m_options.offeredSubtypes, 0);
    return S_OK;
}

HRESULT SinkPin::EndOfStream() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_endOfStream;
    }
    m_arrived.notify_all();
    return S_OK;
}

HRESULT SinkPin::GetAllocator(IMemAllocator** allocator) {
    *allocator = sdk::ComPtr<IMemAllocator>(m_ownAllocator).Detach();
    return *allocator == nullptr ? VFW_E_NO_ALLOCATOR : S_OK;
}

HRESULT SinkPin::NotifyAllocator(IMemAllocator* allocator, BOOL) {
    m_notified = sdk::ComPtr<IMemAllocator>::Share(allocator);
    return S_OK;
}

HRESULT SinkPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* properties) {
    if (m_options.requirements.cbBuffer == 0) return E_NOTIMPL;
    *properties = m_options.requirements;
    return S_OK;
}

HRESULT SinkPin::Receive(IMediaSample* sample) {
    ReceivedSample received{};
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    received.actualLength = sample->GetActualDataLength();
    const auto headBytes = std::min<LONG>(received.actualLength, 16);
    received.head.assign(data, data + std::max<LONG>(headBytes, 0));
    received.syncPoint = sample->IsSyncPoint() == S_OK;
    sample->GetTime(&received.start, &received.end);
    if (m_options.onSample) m_options.onSample(data, received.actualLength);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_options.onSample) {
            m_lastData.assign(data, data + std::max<LONG>(received.actualLength, 0));
        }
        m_samples.push_back(std::move(received));
        if (m_samples.size() > kKeptRecords) m_samples.pop_front();
        ++m_received;
    }
    m_arrived.notify_all();
    return m_refuseSamples ? S_FALSE : S_OK;
}

std::size_t SinkPin::WaitForSamples(std::size_t count, unsigned timeoutMs) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                       [&] { return m_received >= count; });
    return m_received;
}

std::vector<ReceivedSample> SinkPin::Samples() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return {m_samples.begin(), m_samples.end()};
}

std::size_t SinkPin::ReceivedCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<BYTE> SinkPin::LastSampleData() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_lastData;
}

int SinkPin::EndOfStreamCount() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endOfStream;
}

HRESULT EventSinkGraph::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IFilterGraph) {
        return Hand(static_cast<IFilterGraph*>(this), object);
    }
    if (iid == IID_IMediaEventSink) return Hand(static_cast<IMediaEventSink*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT EventSinkGraph::Notify(LONG code, LONG_PTR param1, LONG_PTR param2) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.push_back({code, param1, param2});
    return S_OK;
}

std::vector<RecordedEvent> EventSinkGraph::Events() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

void TearDownCaptureGraph(IBaseFilter* filter, IPin* pin, SinkPin* sink) {
    filter->Stop();
    pin->Disconnect();
    if (sink != nullptr) {
        sink->Disconnect();
        sink->Release();
    }
    filter->JoinFilterGraph(nullptr, nullptr);
    filter->Release();
}

HRESULT ClockBase::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IReferenceClock) return Hand(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT ManualClock::GetTime(REFERENCE_TIME* time) {
    if (time == nullptr) return E_POINTER;
    *time = now.load();
    return S_OK;
}

HRESULT SystemClock::GetTime(REFERENCE_TIME* time) {
    if (time == nullptr) return E_POINTER;
    const auto elapsed = std::chrono::steady_clock::now().time_since_epoch();
    *time = std::chrono::duration_cast<
                std::chrono::duration<REFERENCE_TIME, std::ratio<1, platform::kUnitsPerSecond>>>(
                elapsed)
                .count();
    return S_OK;
}

}  // namespace orvanecam::graph_host
