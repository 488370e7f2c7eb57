#pragma once
// The class factory of the module's one creatable class, and the table of creatable classes.
#include <atomic>

#include "sdk/com_object.h"
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

// Counted among the live objects, so the module stays while a factory is held.
class CClassFactory final : public sdk::ComObject<IClassFactory>, public streaming::CBaseObject {
  public:
    explicit CClassFactory(const CFactoryTemplate& classTemplate);

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

    // Outstanding LockServer(TRUE) calls across all factories.
    static LONG ServerLocks();

  private:
    const CFactoryTemplate& m_template;
    static std::atomic<LONG> s_serverLocks;
};

}  // namespace orvanecam::com
