#pragma once
// A source filter that owns its output pins and the state lock they share.
#include <vector>

#include "streaming/base_filter.h"

namespace orvanecam::streaming {

class CSourceStream;

class CSource : public CBaseFilter {
  public:
    CSource(IUnknown* outer, REFCLSID classId);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int index) override;

    // Called by each stream as it is made and destroyed.
    HRESULT AddPin(CSourceStream* stream);
    void RemovePin(CSourceStream* stream);

    CCritSec* pStateLock() { return &m_stateLock; }

  protected:
    std::vector<CSourceStream*> m_streams;  // guarded by m_stateLock
    CCritSec m_stateLock;
};

}  // namespace orvanecam::streaming
