#pragma once
// An output pin: the downstream transport and allocator negotiation, and sample delivery.
#include "streaming/base_pin.h"

namespace orvanecam::streaming {

class CBaseOutputPin : public CBasePin {
  public:
    CBaseOutputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* result,
                   LPCWSTR pinName);
    ~CBaseOutputPin() override;

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
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  protected:
    IMemAllocator* m_allocator = nullptr;
    IMemInputPin* m_inputPin = nullptr;
};

}  // namespace orvanecam::streaming
