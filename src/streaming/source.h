#pragma once
// A source filter that owns its output pins and the state lock they share.
#include "streaming/base_filter.h"

namespace orvanecam::streaming {

class CSourceStream;

class CSource : public CBaseFilter {
  public:
    CSource(const char* objectName, IUnknown* outer, REFCLSID classId);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // Called by each stream as it is made and destroyed.
    HRESULT AddPin(CSourceStream* stream);
    void RemovePin(CSourceStream* stream);

    CCritSec* pStateLock() { return &m_stateLock; }

  protected:
    int m_iPins = 0;
    CSourceStream** m_paStreams = nullptr;
    CCritSec m_stateLock;
};

}  // namespace orvanecam::streaming
