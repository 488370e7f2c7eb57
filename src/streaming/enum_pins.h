#pragma once
// IEnumPins over a filter's pins.
#include <vector>

#include "sdk/com_object.h"
#include "sdk/directshow.h"

namespace orvanecam::streaming {

class CBaseFilter;
class CBasePin;

class CEnumPins final : public sdk::ComObject<IEnumPins> {
  public:
    // A fresh enumerator on filter, or (with source) a copy of source's position.
    CEnumPins(CBaseFilter* filter, const CEnumPins* source);
    ~CEnumPins() override;

    HRESULT STDMETHODCALLTYPE Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumPins** enumerator) override;

  private:
    bool OutOfSync() const;
    void Refresh();

    int m_position = 0;
    int m_pinCount = 0;
    CBaseFilter* m_filter;
    LONG m_version = 0;
    std::vector<CBasePin*> m_handedOut;
};

}  // namespace orvanecam::streaming
