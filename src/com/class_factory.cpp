#include "com/class_factory.h"

#include "com/camera_name.h"
#include "filter/vcam.h"
#ifdef _WIN32
#include "mfsource/source_class.h"
#endif

namespace orvanecam::com {

const CFactoryTemplate g_Templates[] = {
    {CameraName(), &filter::kCameraClassId, filter::CVCam::CreateInstance},
#ifdef _WIN32
    // The Windows 11 frame server activates the camera through this class.
    {mfsource::kMediaSourceName, &mfsource::kMediaSourceClassId, mfsource::CreateSourceActivate},
#endif
};
const int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

std::atomic<LONG> CClassFactory::s_serverLocks{0};

CClassFactory::CClassFactory(const CFactoryTemplate& classTemplate)
    : ComObject(IID_IClassFactory), m_template(classTemplate) {}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // An aggregated object can hand its outer object only its non-delegating unknown.
    if (outer != nullptr && iid != IID_IUnknown) return E_NOINTERFACE;
    HRESULT result = S_OK;
    streaming::CUnknown* created = m_template.create(outer, &result);
    if (created == nullptr) return FAILED(result) ? result : E_OUTOFMEMORY;
    if (FAILED(result)) {
        delete created;
        return result;
    }
    created->NonDelegatingAddRef();
    result = created->NonDelegatingQueryInterface(iid, object);
    created->NonDelegatingRelease();
    return result;
}

HRESULT CClassFactory::LockServer(BOOL lock) {
    if (lock) {
        s_serverLocks.fetch_add(1);
    } else {
        s_serverLocks.fetch_sub(1);
    }
    return S_OK;
}

LONG CClassFactory::ServerLocks() {
    return s_serverLocks.load();
}

}  // namespace orvanecam::com
