#include "streaming/output_pin.h"

namespace orvanecam::streaming {

CBaseOutputPin::CBaseOutputPin(CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName)
    : CBasePin(filter, lock, pinName, PINDIR_OUTPUT) {}

CBaseOutputPin::~CBaseOutputPin() {
    if (m_allocator != nullptr) m_allocator->Release();
    if (m_inputPin != nullptr) m_inputPin->Release();
}

HRESULT CBaseOutputPin::CheckConnect(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    const HRESULT query = pin->QueryDirection(&direction);
    if (FAILED(query)) return query;
    if (direction == m_direction) return VFW_E_INVALID_DIRECTION;
    if (m_inputPin != nullptr) {
        m_inputPin->Release();
        m_inputPin = nullptr;
    }
    return pin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&m_inputPin));
}

HRESULT CBaseOutputPin::BreakConnect() {
    if (m_allocator != nullptr) {
        const HRESULT result = m_allocator->Decommit();
        if (FAILED(result)) return result;
        m_allocator->Release();
        m_allocator = nullptr;
    }
    if (m_inputPin != nullptr) {
        m_inputPin->Release();
        m_inputPin = nullptr;
    }
    return S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*) {
    return DecideAllocator(m_inputPin, &m_allocator);
}

HRESULT CBaseOutputPin::DecideAllocator(IMemInputPin* inputPin, IMemAllocator** allocator) {
    *allocator = nullptr;
    ALLOCATOR_PROPERTIES requirements{};
    inputPin->GetAllocatorRequirements(&requirements);
    if (requirements.cbAlign == 0) requirements.cbAlign = 1;

    // The downstream pin's own allocator first, then the standard one.
    const auto settle = [&](HRESULT obtained) {
        HRESULT result = obtained;
        if (SUCCEEDED(result)) result = DecideBufferSize(*allocator, &requirements);
        if (SUCCEEDED(result)) result = inputPin->NotifyAllocator(*allocator, FALSE);
        if (FAILED(result) && *allocator != nullptr) {
            (*allocator)->Release();
            *allocator = nullptr;
        }
        return result;
    };
    if (SUCCEEDED(settle(inputPin->GetAllocator(allocator)))) return S_OK;
    const HRESULT result = settle(InitAllocator(allocator));
    return SUCCEEDED(result) ? S_OK : result;
}

HRESULT CBaseOutputPin::InitAllocator(IMemAllocator** allocator) {
    return CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                            reinterpret_cast<void**>(allocator));
}

HRESULT CBaseOutputPin::GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                          REFERENCE_TIME* stop, DWORD flags) {
    if (m_allocator == nullptr) return E_NOINTERFACE;
    return m_allocator->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample) {
    IMemInputPin* inputPin = m_inputPin;
    if (inputPin == nullptr) return VFW_E_NOT_CONNECTED;
    return inputPin->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    IPin* connected = m_connected;
    return connected == nullptr ? VFW_E_NOT_CONNECTED : connected->EndOfStream();
}

HRESULT CBaseOutputPin::Active() {
    return m_allocator == nullptr ? VFW_E_NO_ALLOCATOR : m_allocator->Commit();
}

HRESULT CBaseOutputPin::Inactive() {
    return m_allocator == nullptr ? VFW_E_NO_ALLOCATOR : m_allocator->Decommit();
}

}  // namespace orvanecam::streaming
