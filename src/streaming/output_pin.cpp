#include "streaming/output_pin.h"

#include <utility>

namespace orvanecam::streaming {

CBaseOutputPin::CBaseOutputPin(CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName)
    : CBasePin(filter, lock, pinName, PINDIR_OUTPUT) {}

HRESULT CBaseOutputPin::CheckConnect(IPin* pin) {
    PIN_DIRECTION direction = PINDIR_INPUT;
    const HRESULT query = pin->QueryDirection(&direction);
    if (FAILED(query)) return query;
    if (direction == m_direction) return VFW_E_INVALID_DIRECTION;
    return pin->QueryInterface(IID_IMemInputPin, m_inputPin.PutVoid());
}

HRESULT CBaseOutputPin::BreakConnect() {
    if (m_allocator) {
        const HRESULT result = m_allocator->Decommit();
        if (FAILED(result)) return result;
        m_allocator.Reset();
    }
    m_inputPin.Reset();
    return S_OK;
}

HRESULT CBaseOutputPin::CompleteConnect(IPin*) {
    return DecideAllocator(m_inputPin.Get(), m_allocator.Put());
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
        // A refused allocator is let go of (ComPtr releases what it adopts).
        if (FAILED(result)) sdk::ComPtr<IMemAllocator>::Adopt(std::exchange(*allocator, nullptr));
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
    if (!m_allocator) return E_NOINTERFACE;
    return m_allocator->GetBuffer(sample, start, stop, flags);
}

HRESULT CBaseOutputPin::Deliver(IMediaSample* sample) {
    if (!m_inputPin) return VFW_E_NOT_CONNECTED;
    return m_inputPin->Receive(sample);
}

HRESULT CBaseOutputPin::DeliverEndOfStream() {
    IPin* connected = m_connected.Get();
    return connected == nullptr ? VFW_E_NOT_CONNECTED : connected->EndOfStream();
}

HRESULT CBaseOutputPin::Active() {
    return m_allocator ? m_allocator->Commit() : VFW_E_NO_ALLOCATOR;
}

HRESULT CBaseOutputPin::Inactive() {
    return m_allocator ? m_allocator->Decommit() : VFW_E_NO_ALLOCATOR;
}

}  // namespace orvanecam::streaming
