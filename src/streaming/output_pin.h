#pragma once
// An output pin: the downstream transport and allocator negotiation, and sample delivery.
#include "sdk/com_ptr.h"
#include "streaming/base_pin.h"

namespace orvanecam::streaming {

class CBaseOutputPin : public CBasePin {
  public:
    CBaseOutputPin(CBaseFilter* filter, CCritSec* lock, LPCWSTR pinName);

    HRESULT CheckConnect(IPin* pin) override;
    HRESULT BreakConnect() override;
    HRESULT CompleteConnect(IPin* receivePin) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    virtual HRESULT DecideAllocator(IMemInputPin* inputPin, IMemAllocator** allocator);
    // Sets the buffer count and size on allocator from the downstream pin's requirements.
    virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) = 0;
    virtual HRESULT GetDeliveryBuffer(IMediaSample** sample, REFERENCE_TIME* start,
                                      REFERENCE_TIME* stop, DWORD flags);
    virtual HRESULT Deliver(IMediaSample* sample);
    virtual HRESULT InitAllocator(IMemAllocator** allocator);
    virtual HRESULT DeliverEndOfStream();

  protected:
    // Set while connecting and cleared by BreakConnect, under the filter's state lock; the
    // streaming thread reads them only while the pin is active, when they do not change.
    sdk::ComPtr<IMemAllocator> m_allocator;
    sdk::ComPtr<IMemInputPin> m_inputPin;
};

}  // namespace orvanecam::streaming
