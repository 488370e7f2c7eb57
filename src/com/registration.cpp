#include "com/registration.h"

#include "com/camera_keys.h"
#include "com/camera_name.h"
#include "com/module_path.h"
#include "com/registry_writes.h"
#include "filter/vcam.h"
#include "platform/utf16.h"

namespace orvanecam::com {
namespace {

constexpr char16_t kThreadingModel[] = u"Both";
constexpr char kServerKeyName[] = "InprocServer32";
constexpr WCHAR kPinName[] = {'O', 'r', 'v', 'a', 'n', 'e', 'C', 'a', 'm',
                              '2', 'O', 'u', 't', 'p', 'u', 't', 0};

const REGPINTYPES kPinTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_NV12},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
};

REGFILTERPINS OutputPinRecord() {
    REGFILTERPINS pin{};
    pin.strName = const_cast<LPWSTR>(kPinName);  // the record type is not const-correct
    pin.bRendered = FALSE;
    pin.bOutput = TRUE;
    pin.bZero = FALSE;
    pin.bMany = FALSE;
    pin.clsConnectsToFilter = &GUID_NULL;
    pin.strConnectsToPin = nullptr;
    pin.nMediaTypes = sizeof(kPinTypes) / sizeof(kPinTypes[0]);
    pin.lpMediaType = kPinTypes;
    return pin;
}

HRESULT RegisterWithMapper(IFilterMapper2& mapper) {
    const REGFILTERPINS pin = OutputPinRecord();
    REGFILTER2 record{};
    record.dwVersion = 1;
    record.dwMerit = MERIT_NORMAL;
    record.cPins = 1;
    record.rgPins = &pin;
    IMoniker* moniker = nullptr;
    HRESULT result = mapper.RegisterFilter(filter::kCameraClassId, kCameraName, &moniker,
                                           &CLSID_VideoInputDeviceCategory, nullptr, &record);
    // Not needed: the device is found through the category. (IMoniker starts with IUnknown.)
    if (moniker != nullptr) reinterpret_cast<IUnknown*>(moniker)->Release();
    if (SUCCEEDED(result)) result = UpdateDeviceKeys(true);
    return result;
}

HRESULT UnregisterWithMapper(IFilterMapper2& mapper) {
    // The keys go first, so that they are gone whatever the mapper answers. The mapper then
    // finds its instance key gone: that is the outcome asked for, not a failure.
    (void)UpdateDeviceKeys(false);
    const HRESULT result =
        mapper.UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, filter::kCameraClassId);
    return IsMissingKeyResult(result) ? S_OK : result;
}

HRESULT RegisterInApartment(bool registering, const std::u16string& modulePath) {
    if (registering) {
        const HRESULT written = WriteServerKeys(filter::kCameraClassId, kCameraNameUtf16,
                                                modulePath, kThreadingModel, kServerKeyName);
        if (FAILED(written)) return written;
    }
    IFilterMapper2* mapper = nullptr;
    HRESULT result = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IFilterMapper2, reinterpret_cast<void**>(&mapper));
    if (FAILED(result)) return result;
    result = registering ? RegisterWithMapper(*mapper) : UnregisterWithMapper(*mapper);
    mapper->Release();
    if (!registering && SUCCEEDED(result)) result = RemoveServerKeys(filter::kCameraClassId);
    return result;
}

}  // namespace

HRESULT RegisterServer(bool registering) {
    std::u16string modulePath;
    if (const std::uint32_t error = ModuleFilePath(modulePath); error != 0) {
        return HresultFromError(error);
    }
    const HRESULT initialised = CoInitialize(nullptr);
    if (FAILED(initialised) && initialised != RPC_E_CHANGED_MODE) return initialised;
    const HRESULT result = RegisterInApartment(registering, modulePath);
    CoFreeUnusedLibraries();
    if (initialised == S_OK || initialised == S_FALSE) CoUninitialize();
    return result;
}

HRESULT WriteServerKeys(REFCLSID classId, const std::u16string& description,
                        const std::u16string& modulePath, const std::u16string& threadingModel,
                        const std::string& serverKeyName) {
    const std::string classKey = ClassKeyPath(classId);
    HRESULT result = SetRegistryString(classKey, "", description);
    if (SUCCEEDED(result)) {
        result = SetRegistryString(classKey + "\\" + serverKeyName, "", modulePath);
    }
    if (SUCCEEDED(result)) {
        result =
            SetRegistryString(classKey + "\\" + serverKeyName, "ThreadingModel", threadingModel);
    }
    return result;
}

HRESULT RemoveServerKeys(REFCLSID classId) {
    (void)DeleteKeyTree("", ClassKeyPath(classId));
    return S_OK;
}

HRESULT UpdateDeviceKeys(bool registering) {
    const std::u16string filterId = GuidText(filter::kCameraClassId);
    const std::string filterKey = ClassKeyPath(filter::kCameraClassId);
    const std::string instanceKey = CameraInstanceKeyPath();
    if (filterKey.empty() || instanceKey.empty()) return E_FAIL;
    std::u16string modulePath;
    if (const std::uint32_t error = ModuleFilePath(modulePath); error != 0) {
        return HresultFromError(error);
    }
    if (!registering) {
        const HRESULT removed = DeleteRegistryTree(instanceKey);
        if (FAILED(removed)) return removed;
        return DeleteRegistryTree(filterKey);
    }
    const std::string serverKey = filterKey + "\\" + kServerKeyName;
    struct Write {
        const std::string& key;
        const char* name;
        const std::u16string& text;
    };
    const std::u16string name = kCameraNameUtf16;
    const std::u16string threadingModel = kThreadingModel;
    const Write writes[] = {
        {filterKey, "", name},
        {serverKey, "", modulePath},
        {serverKey, "ThreadingModel", threadingModel},
        {instanceKey, "", name},
        {instanceKey, "FriendlyName", name},
        {instanceKey, "CLSID", filterId},
    };
    for (const Write& write : writes) {
        const HRESULT result = SetRegistryString(write.key, write.name, write.text);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

}  // namespace orvanecam::com
