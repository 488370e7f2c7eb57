#pragma once
// The class factory of the module's one creatable class, and the table of creatable classes.
#include <atomic>

#include "sdk/directshow.h"
#include "streaming/unknown.h"

namespace orvanecam::com {

struct CFactoryTemplate {
    const WCHAR* name;
    const CLSID* classId;
    streaming::CUnknown* (*create)(IUnknown* outer, HRESULT* result);
};

// The creatable classes, in table order.
extern const CFactoryTemplate g_Templates[];
extern const int g_cTemplates;

class CClassFactory final : public IClassFactory, public streaming::CBaseObject {
  public:
    explicit CClassFactory(const CFactoryTemplate& classTemplate);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Outstanding LockServer(TRUE) calls across all factories.
    static LONG ServerLocks();

  private:
    const CFactoryTemplate& m_template;
    std::atomic<LONG> m_refCount{0};
    static std::atomic<LONG> s_serverLocks;
};

}  // namespace orvanecam::com
