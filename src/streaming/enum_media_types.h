#pragma once
// IEnumMediaTypes over a pin's preferred media types.
#include <atomic>

#include "sdk/directshow.h"

namespace orvanecam::streaming {

class CBasePin;

class CEnumMediaTypes final : public IEnumMediaTypes {
  public:
    // A fresh enumerator on pin, or (with source) a copy of source's position.
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* source);
    virtual ~CEnumMediaTypes();
    CEnumMediaTypes(const CEnumMediaTypes&) = delete;
    CEnumMediaTypes& operator=(const CEnumMediaTypes&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Next(ULONG count, AM_MEDIA_TYPE** mediaTypes,
                                   ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumMediaTypes** enumerator) override;

  private:
    bool OutOfSync() const;

    int m_position = 0;
    CBasePin* m_pin;
    LONG m_version = 0;
    std::atomic<LONG> m_refCount{1};
};

}  // namespace orvanecam::streaming
