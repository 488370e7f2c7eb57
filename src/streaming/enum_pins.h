#pragma once
// IEnumPins over a filter's pins.
#include <atomic>
#include <vector>

#include "sdk/directshow.h"

namespace orvanecam::streaming {

class CBaseFilter;
class CBasePin;

class CEnumPins final : public IEnumPins {
  public:
    // A fresh enumerator on filter, or (with source) a copy of source's position.
    CEnumPins(CBaseFilter* filter, const CEnumPins* source);
    virtual ~CEnumPins();
    CEnumPins(const CEnumPins&) = delete;
    CEnumPins& operator=(const CEnumPins&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
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
    std::atomic<LONG> m_refCount{1};
    std::vector<CBasePin*> m_handedOut;
};

}  // namespace orvanecam::streaming
