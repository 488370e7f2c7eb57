#include "streaming/base_filter.h"

#include <climits>
#include <new>

#include "streaming/base_pin.h"
#include "streaming/enum_pins.h"
#include "streaming/wide_text.h"

namespace orvanecam::streaming {

CBaseFilter::CBaseFilter(IUnknown* outer, CCritSec* lock, REFCLSID classId)
    : CUnknown(outer), m_classId(classId), m_lock(lock) {}

CBaseFilter::~CBaseFilter() = default;

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist) {
        return GetInterface(static_cast<IBaseFilter*>(this), object);
    }
    if (iid == IID_IAMovieSetup) return GetInterface(static_cast<IAMovieSetup*>(this), object);
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

HRESULT CBaseFilter::GetClassID(CLSID* classId) {
    if (classId == nullptr) return E_POINTER;
    *classId = m_classId;
    return S_OK;
}

template <class Operation>
HRESULT CBaseFilter::ForConnectedPins(Operation&& operation, bool stopAtFailure) {
    HRESULT first = S_OK;
    const int count = GetPinCount();
    for (int index = 0; index < count; ++index) {
        CBasePin* pin = GetPin(index);
        if (pin == nullptr) break;
        if (!pin->IsConnected()) continue;
        const HRESULT result = operation(*pin);
        if (FAILED(result)) {
            if (stopAtFailure) return result;
            if (SUCCEEDED(first)) first = result;
        }
    }
    return first;
}

HRESULT CBaseFilter::Stop() {
    CAutoLock lock(*m_lock);
    HRESULT result = S_OK;
    if (m_state != State_Stopped) {
        result = ForConnectedPins([](CBasePin& pin) { return pin.Inactive(); }, false);
    }
    m_state = State_Stopped;
    return result;
}

HRESULT CBaseFilter::Pause() {
    CAutoLock lock(*m_lock);
    if (m_state == State_Stopped) {
        const HRESULT result = ForConnectedPins([](CBasePin& pin) { return pin.Active(); }, true);
        if (FAILED(result)) return result;
    } else if (m_state == State_Running) {
        const HRESULT result = ForConnectedPins([](CBasePin& pin) { return pin.Pause(); }, true);
        if (FAILED(result)) return result;
    }
    m_state = State_Paused;
    return S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME start) {
    CAutoLock lock(*m_lock);
    m_start = start;
    if (m_state == State_Stopped) {
        const HRESULT result = static_cast<IBaseFilter*>(this)->Pause();
        if (FAILED(result)) return result;
    }
    if (m_state != State_Running) {
        const HRESULT result =
            ForConnectedPins([start](CBasePin& pin) { return pin.Run(start); }, true);
        if (FAILED(result)) return result;
    }
    m_state = State_Running;
    return S_OK;
}

HRESULT CBaseFilter::GetState(DWORD, FILTER_STATE* state) {
    if (state == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    *state = m_state;
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* clock) {
    CAutoLock lock(*m_lock);
    m_clock = sdk::ComPtr<IReferenceClock>::Share(clock);
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** clock) {
    if (clock == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    *clock = sdk::ComPtr<IReferenceClock>(m_clock).Detach();
    return S_OK;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** enumerator) {
    if (enumerator == nullptr) return E_POINTER;
    *enumerator = new (std::nothrow) CEnumPins(this, nullptr);
    return *enumerator == nullptr ? E_OUTOFMEMORY : S_OK;
}

HRESULT CBaseFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (pin == nullptr) return E_POINTER;
    CAutoLock lock(*m_lock);
    const std::int32_t number = ReadDecimal(id);
    CBasePin* found = number >= 1 ? GetPin(number - 1) : nullptr;
    if (found == nullptr) {
        *pin = nullptr;
        return VFW_E_NOT_FOUND;
    }
    *pin = found->AsPin();
    (*pin)->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (info == nullptr) return E_POINTER;
    CopyTruncated(m_name.c_str(), info->achName, MAX_FILTER_NAME);
    info->pGraph = m_graph;
    if (m_graph != nullptr) m_graph->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    CAutoLock lock(*m_lock);
    m_graph = graph;
    m_sink = nullptr;
    if (graph != nullptr) {
        // The graph owns the filter: keeping a reference to its sink would be a cycle.
        if (SUCCEEDED(
                graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&m_sink)))) {
            m_sink->Release();
        } else {
            m_sink = nullptr;
        }
    }
    m_name.clear();
    if (name == nullptr) return S_OK;
    if (!BoundedLength(name, INT_MAX)) return E_INVALIDARG;
    m_name = name;
    return S_OK;
}

HRESULT CBaseFilter::QueryVendorInfo(LPWSTR*) {
    return E_NOTIMPL;
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME& time) {
    if (m_clock == nullptr) return VFW_E_NO_CLOCK;
    const HRESULT result = m_clock->GetTime(&time);
    if (FAILED(result)) return result;
    time -= m_start;
    return S_OK;
}

HRESULT CBaseFilter::NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2) {
    IMediaEventSink* sink = m_sink;
    if (sink == nullptr) return E_NOTIMPL;
    if (code == EC_COMPLETE) param2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return sink->Notify(code, param1, param2);
}

}  // namespace orvanecam::streaming
