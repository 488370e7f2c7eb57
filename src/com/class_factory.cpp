#include "com/class_factory.h"

#include <array>
#include <vector>

#include "filter/microphone.h"
#include "filter/vcam.h"
#ifdef _WIN32
#include "mfsource/source_class.h"
#endif

namespace orvanecam::com {
namespace {

streaming::CUnknown* CreateFilter(const camera::CameraIdentity& camera, IUnknown* outer,
                                  HRESULT* result) {
    return filter::CVCam::CreateFor(camera, outer, result);
}

streaming::CUnknown* CreateMicrophone(const camera::CameraIdentity& camera, IUnknown* outer,
                                      HRESULT* result) {
    return filter::CMicrophone::CreateFor(camera, outer, result);
}

using CameraClasses = std::vector<CFactoryTemplate>;

CameraClasses MakeClassesOf(const camera::CameraIdentity& camera) {
    CameraClasses classes{
        {std::u16string(camera.defaultName), sdk::GuidOf(camera.filterClass), &camera,
         CreateFilter},
        {camera::MicrophoneName(camera), sdk::GuidOf(camera.microphoneClass), &camera,
         CreateMicrophone},
    };
#ifdef _WIN32
    // The Windows 11 frame server activates the camera through this class.
    classes.push_back({mfsource::MediaSourceName(camera), sdk::GuidOf(camera.mediaSourceClass),
                       &camera, mfsource::CreateSourceActivate});
#endif
    return classes;
}

const std::array<CameraClasses, camera::kMaxCameras>& ClassTable() {
    static const auto table = [] {
        std::array<CameraClasses, camera::kMaxCameras> made;
        for (int number = 1; number <= camera::kMaxCameras; ++number) {
            made[static_cast<std::size_t>(number - 1)] =
                MakeClassesOf(*camera::CameraNumbered(number));
        }
        return made;
    }();
    return table;
}

}  // namespace

std::span<const CFactoryTemplate> ClassesOf(const camera::CameraIdentity& camera) {
    return ClassTable()[static_cast<std::size_t>(camera.number - 1)];
}

const CFactoryTemplate* FindClass(REFCLSID classId) {
    for (const CameraClasses& classes : ClassTable()) {
        for (const CFactoryTemplate& candidate : classes) {
            if (candidate.classId == classId) return &candidate;
        }
    }
    return nullptr;
}

std::atomic<LONG> CClassFactory::s_serverLocks{0};

CClassFactory::CClassFactory(const CFactoryTemplate& classTemplate)
    : ComObject(IID_IClassFactory), m_template(classTemplate) {}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    // An aggregated object can hand its outer object only its non-delegating unknown.
    if (outer != nullptr && iid != IID_IUnknown) return E_NOINTERFACE;
    HRESULT result = S_OK;
    streaming::CUnknown* created = m_template.create(*m_template.camera, outer, &result);
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
