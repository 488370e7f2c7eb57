// The class factory's entry points and registration's. There is no DllMain of our own: the
// runtime's default serves, and a statically linked runtime needs the thread notifications
// DisableThreadLibraryCalls would take away.
#include <string_view>

#include "com/class_factory.h"
#include "com/install_options.h"
#include "com/registration.h"
#include "sdk/directshow.h"
#include "streaming/unknown.h"

using orvanecam::com::CClassFactory;

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    const orvanecam::com::CFactoryTemplate* found = orvanecam::com::FindClass(classId);
    if (found == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return orvanecam::sdk::CreateComObject<CClassFactory>(iid, object, *found);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return CClassFactory::ServerLocks() > 0 ||
                   orvanecam::streaming::CBaseObject::ObjectsActive() != 0
               ? S_FALSE
               : S_OK;
}

// Keeps the number of cameras registered (one on a first registration).
extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return orvanecam::com::RegisterCameras(0);
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return orvanecam::com::UnregisterCameras();
}

// regsvr32 /i:"cameras=N" registers cameras 1..N (and removes any above); uninstalling removes
// every camera. A command line that cannot be read changes nothing.
extern "C" HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    static_assert(sizeof(*commandLine) == sizeof(char16_t));
    const std::u16string_view text =
        commandLine != nullptr ? reinterpret_cast<const char16_t*>(commandLine) : u"";
    const auto options = orvanecam::com::ParseInstallOptions(text);
    if (!options) return E_INVALIDARG;
    return install != FALSE ? orvanecam::com::RegisterCameras(options->cameras, options->scope)
                            : orvanecam::com::UnregisterCameras(options->scope);
}
