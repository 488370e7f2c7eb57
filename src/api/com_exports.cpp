// The class factory's entry points and registration's. There is no DllMain of our own: the
// runtime's default serves, and a statically linked runtime needs the thread notifications
// DisableThreadLibraryCalls would take away.
#include "com/class_factory.h"
#include "com/registration.h"
#include "sdk/directshow.h"
#include "streaming/unknown.h"

using orvanecam::com::CClassFactory;
using orvanecam::com::g_cTemplates;
using orvanecam::com::g_Templates;

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    for (int i = 0; i < g_cTemplates; ++i) {
        if (*g_Templates[i].classId != classId) continue;
        return orvanecam::sdk::CreateComObject<CClassFactory>(iid, object, g_Templates[i]);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CClassFactory::ServerLocks() > 0 ||
                   orvanecam::streaming::CBaseObject::ObjectsActive() != 0
               ? S_FALSE
               : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return orvanecam::com::RegisterServer(true);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return orvanecam::com::RegisterServer(false);
}

// The command line carries nothing for this module.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR) {
    return orvanecam::com::RegisterServer(install != FALSE);
}
