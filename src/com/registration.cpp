#include "com/registration.h"

#include <algorithm>
#include <array>
#include <functional>
#include <span>

#include "com/class_factory.h"
#include "com/registry_writes.h"
#include "devices/camera_keys.h"
#include "filter/microphone.h"
#include "filter/vcam.h"
#include "platform/module_path.h"
#include "platform/registry.h"
#include "sdk/com_ptr.h"

namespace orvanecam::com {
namespace {

using devices::CameraInstanceKeyPath;
using devices::ClassKeyPath;
using sdk::GuidText;

const REGPINTYPES kVideoPinTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_NV12},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
};
const REGPINTYPES kAudioPinTypes[] = {
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM},
};

// One of a camera's capture devices as its category lists it.
struct Device {
    CLSID filterClass;
    const GUID* category;
    std::u16string name;
    std::string instanceKey;
    const WCHAR* pinName;
    std::span<const REGPINTYPES> pinTypes;
};

// The camera itself and its microphone.
std::array<Device, 2> DevicesOf(const camera::CameraIdentity& camera) {
    return {{
        {sdk::GuidOf(camera.filterClass), &CLSID_VideoInputDeviceCategory,
         std::u16string(camera.defaultName), CameraInstanceKeyPath(camera), filter::kPinName,
         kVideoPinTypes},
        {sdk::GuidOf(camera.microphoneClass), &CLSID_AudioInputDeviceCategory,
         camera::MicrophoneName(camera), devices::MicrophoneInstanceKeyPath(camera),
         filter::kMicrophonePinName, kAudioPinTypes},
    }};
}

REGFILTERPINS OutputPinRecord(const Device& device) {
    REGFILTERPINS pin{};
    pin.strName = const_cast<LPWSTR>(device.pinName);  // the record type is not const-correct
    pin.bRendered = FALSE;
    pin.bOutput = TRUE;
    pin.bZero = FALSE;
    pin.bMany = FALSE;
    pin.clsConnectsToFilter = &GUID_NULL;
    pin.strConnectsToPin = nullptr;
    pin.nMediaTypes = static_cast<UINT>(device.pinTypes.size());
    pin.lpMediaType = device.pinTypes.data();
    return pin;
}

// COM's 16-bit text from ours.
const WCHAR* WideText(const std::u16string& text) {
    static_assert(sizeof(WCHAR) == sizeof(char16_t));
    return reinterpret_cast<const WCHAR*>(text.c_str());
}

struct ValueWrite {
    std::string key;
    const char* name;
    std::u16string text;
};

// Where a registration writes: the classes it writes below, and the system's filter mapper,
// which writes only to the classes root (none for the user's own classes).
struct Target {
    platform::RegistryRoot classes;
    IFilterMapper2* mapper;
};

template <std::size_t count>
HRESULT WriteValues(const Target& target, const ValueWrite (&writes)[count]) {
    for (const ValueWrite& write : writes) {
        if (write.key.empty()) return E_FAIL;
        const HRESULT result = SetRegistryString(target.classes, write.key, write.name, write.text);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

// CLSID\{class} of each of camera's classes, with its description and in-process server, as COM
// finds the class: in the machine's hive (the only one the frame server's service reads) when
// registration runs elevated, in the user's when it registers for the user.
HRESULT WriteClassKeys(const Target& target, const camera::CameraIdentity& camera,
                       const std::u16string& modulePath) {
    for (const CFactoryTemplate& entry : ClassesOf(camera)) {
        const std::string classKey = ClassKeyPath(entry.classId);
        const std::string serverKey = classKey + "\\InprocServer32";
        const HRESULT result =
            WriteValues(target, {
                                    ValueWrite{classKey, "", entry.name},
                                    ValueWrite{serverKey, "", modulePath},
                                    ValueWrite{serverKey, "ThreadingModel", u"Both"},
                                });
        if (FAILED(result)) return result;
    }
    return S_OK;
}

HRESULT DeleteClassKeys(const Target& target, const camera::CameraIdentity& camera) {
    for (const CFactoryTemplate& entry : ClassesOf(camera)) {
        const HRESULT result = DeleteRegistryTree(target.classes, ClassKeyPath(entry.classId));
        if (FAILED(result)) return result;
    }
    return S_OK;
}

// The device key the category lists, with the values clients read whatever the mapper wrote.
HRESULT WriteDeviceKey(const Target& target, const Device& device) {
    return WriteValues(target,
                       {
                           ValueWrite{device.instanceKey, "", device.name},
                           ValueWrite{device.instanceKey, "FriendlyName", device.name},
                           ValueWrite{device.instanceKey, "CLSID", GuidText(device.filterClass)},
                       });
}

HRESULT RegisterDevice(const Target& target, const Device& device) {
    if (target.mapper == nullptr) return WriteDeviceKey(target, device);
    const REGFILTERPINS pin = OutputPinRecord(device);
    REGFILTER2 record{};
    record.dwVersion = 1;
    record.dwMerit = MERIT_NORMAL;
    record.cPins = 1;
    record.rgPins = &pin;
    IMoniker* moniker = nullptr;
    const HRESULT result = target.mapper->RegisterFilter(
        device.filterClass, WideText(device.name), &moniker, device.category, nullptr, &record);
    // Not needed: the device is found through the category. (IMoniker starts with IUnknown, and
    // the Linux declarations leave it incomplete.)
    sdk::ComPtr<IUnknown>::Adopt(reinterpret_cast<IUnknown*>(moniker));
    return SUCCEEDED(result) ? WriteDeviceKey(target, device) : result;
}

HRESULT RegisterCamera(const Target& target, const camera::CameraIdentity& camera,
                       const std::u16string& modulePath) {
    HRESULT result = WriteClassKeys(target, camera, modulePath);
    for (const Device& device : DevicesOf(camera)) {
        if (SUCCEEDED(result)) result = RegisterDevice(target, device);
    }
    return result;
}

HRESULT UnregisterCamera(const Target& target, const camera::CameraIdentity& camera) {
    for (const Device& device : DevicesOf(camera)) {
        // The device key goes first, so that it is gone whatever the mapper answers. The mapper
        // then finds its instance key gone: that is the outcome asked for, not a failure.
        (void)DeleteRegistryTree(target.classes, device.instanceKey);
        if (target.mapper == nullptr) continue;
        const HRESULT result =
            target.mapper->UnregisterFilter(device.category, nullptr, device.filterClass);
        if (FAILED(result) && !IsMissingKeyResult(result)) return result;
    }
    return DeleteClassKeys(target, camera);
}

// The highest camera registered below classes in either view, at least 1: re-registering keeps
// what the user chose, for the other bitness's DLL too, and mends a camera below it that lost its
// keys.
int CamerasRegisteredNow(platform::RegistryRoot classes) {
    int highest = 1;
    for (const auto view : {platform::RegistryView::k64Bit, platform::RegistryView::k32Bit}) {
        const auto registered = devices::RegisteredCameras(view, classes);
        if (!registered.empty()) highest = std::max(highest, registered.back()->number);
    }
    return highest;
}

// Cameras 1..count registered, the rest removed (count 0: none registered).
HRESULT MatchRegistration(const Target& target, int count) {
    std::u16string modulePath;
    if (count > 0) {
        if (const std::uint32_t error = platform::ModuleFilePath(modulePath); error != 0) {
            return HresultFromError(error);
        }
    }
    HRESULT result = S_OK;
    for (int number = 1; number <= camera::kMaxCameras && SUCCEEDED(result); ++number) {
        const camera::CameraIdentity& camera = *camera::CameraNumbered(number);
        result = number <= count ? RegisterCamera(target, camera, modulePath)
                                 : UnregisterCamera(target, camera);
    }
    return result;
}

// Runs change on the classes of scope: for the machine, with the filter mapper in an apartment of
// this thread's; for the user, with the keys alone, since the mapper writes where a user without
// administrator rights may not.
HRESULT OnTarget(RegistrationScope scope, const std::function<HRESULT(const Target&)>& change) {
    if (scope == RegistrationScope::kUser) {
        return change(Target{platform::RegistryRoot::kUserClasses, nullptr});
    }
    const HRESULT initialised = CoInitialize(nullptr);
    if (FAILED(initialised) && initialised != RPC_E_CHANGED_MODE) return initialised;
    HRESULT result = S_OK;
    {
        sdk::ComPtr<IFilterMapper2> mapper;
        result = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, mapper.PutVoid());
        if (SUCCEEDED(result)) {
            result = change(Target{platform::RegistryRoot::kClassesRoot, mapper.Get()});
        }
    }
    CoFreeUnusedLibraries();
    if (initialised == S_OK || initialised == S_FALSE) CoUninitialize();
    return result;
}

}  // namespace

HRESULT RegisterCameras(int count, RegistrationScope scope) {
    if (count < 0 || count > camera::kMaxCameras) return E_INVALIDARG;
    return OnTarget(scope, [count](const Target& target) {
        return MatchRegistration(target, count == 0 ? CamerasRegisteredNow(target.classes) : count);
    });
}

HRESULT UnregisterCameras(RegistrationScope scope) {
    return OnTarget(scope, [](const Target& target) {
        const HRESULT result = MatchRegistration(target, 0);
        // A user's classes are left as they were before; the machine's parents are the system's.
        if (SUCCEEDED(result) && target.mapper == nullptr) {
            devices::DeleteEmptyParentKeys(target.classes, platform::kOwnRegistryView);
        }
        return result;
    });
}

}  // namespace orvanecam::com
