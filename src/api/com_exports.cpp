// DllMain, the class factory's entry points and registration's.
#include "api/com_exports.h"

#include <new>

#include "com/class_factory.h"
#include "com/registration.h"
#include "streaming/unknown.h"

using orvanecam::com::CClassFactory;
using orvanecam::com::g_cTemplates;
using orvanecam::com::g_Templates;

#ifdef _WIN32
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    // No thread needs the module's attention as it starts or ends.
    if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(module);
    return TRUE;
}
#endif

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
