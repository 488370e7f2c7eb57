#pragma once
// IEnumMediaTypes over a pin's preferred media types.

#include "sdk/com_object.h"
#include "sdk/directshow.h"

namespace orvanecam::streaming {

class CBasePin;

class CEnumMediaTypes final : public sdk::ComObject<IEnumMediaTypes> {
  public:
    // A fresh enumerator on pin, or (with source) a copy of source's position.
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* source);
    ~CEnumMediaTypes() override;

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
};

}  // namespace orvanecam::streaming
