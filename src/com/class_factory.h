#pragma once
// The class factory of the module's creatable classes, and the table of those classes: each
// camera's capture filter, its microphone's and, on Windows, its Media Foundation source.
#include <atomic>
#include <span>
#include <string>

#include "camera/identity.h"
#include "sdk/com_object.h"
#include "sdk/directshow.h"
#include "streaming/unknown.h"

namespace orvanecam::com {

struct CFactoryTemplate {
    std::u16string name;  // the class key's description
    CLSID classId;
    const camera::CameraIdentity* camera;
    streaming::CUnknown* (*create)(const camera::CameraIdentity& camera, IUnknown* outer,
                                   HRESULT* result);
};

// Camera's classes, the filter first, then the microphone; the table lives as long as the
// process.
std::span<const CFactoryTemplate> ClassesOf(const camera::CameraIdentity& camera);

// The class with this id among every camera's; null when the module has none.
const CFactoryTemplate* FindClass(REFCLSID classId);

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
