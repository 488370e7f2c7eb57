#include "com/registration.h"

#include "com/camera_keys.h"
#include "com/camera_name.h"
#include "com/class_factory.h"
#include "com/registry_writes.h"
#include "filter/vcam.h"
#include "platform/module_path.h"
#include "platform/utf16.h"
#include "sdk/com_ptr.h"

namespace orvanecam::com {
namespace {

const REGPINTYPES kPinTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_NV12},
    {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2},
};

REGFILTERPINS OutputPinRecord() {
    REGFILTERPINS pin{};
    pin.strName = const_cast<LPWSTR>(filter::kPinName);  // the record type is not const-correct
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

// COM's 16-bit text as the registry writes take it.
std::u16string WideText(const WCHAR* text) {
    static_assert(sizeof(WCHAR) == sizeof(char16_t));
    return reinterpret_cast<const char16_t*>(text);
}

struct ValueWrite {
    std::string key;
    const char* name;
    std::u16string text;
};

template <std::size_t count>
HRESULT WriteValues(const ValueWrite (&writes)[count]) {
    for (const ValueWrite& write : writes) {
        if (write.key.empty()) return E_FAIL;
        const HRESULT result = SetRegistryString(write.key, write.name, write.text);
        if (FAILED(result)) return result;
    }
    return S_OK;
}

// CLSID\{class} of every creatable class, with its description and in-process server, as COM
// finds the class. Registration runs elevated, so these land in the machine's hive, the only one
// the frame server's service reads.
HRESULT WriteClassKeys(const std::u16string& modulePath) {
    for (int i = 0; i < g_cTemplates; ++i) {
        const std::string classKey = ClassKeyPath(*g_Templates[i].classId);
        const std::string serverKey = classKey + "\\InprocServer32";
        const HRESULT result = WriteValues({
            ValueWrite{classKey, "", WideText(g_Templates[i].name)},
            ValueWrite{serverKey, "", modulePath},
            ValueWrite{serverKey, "ThreadingModel", u"Both"},
        });
        if (FAILED(result)) return result;
    }
    return S_OK;
}

HRESULT DeleteClassKeys() {
    for (int i = 0; i < g_cTemplates; ++i) {
        const HRESULT result = DeleteRegistryTree(ClassKeyPath(*g_Templates[i].classId));
        if (FAILED(result)) return result;
    }
    return S_OK;
}

// The device key the category lists, with the values clients read whatever the mapper wrote.
HRESULT WriteDeviceKey() {
    const std::string instanceKey = CameraInstanceKeyPath();
    return WriteValues({
        ValueWrite{instanceKey, "", std::u16string(camera::kFirstCamera.defaultName)},
        ValueWrite{instanceKey, "FriendlyName", std::u16string(camera::kFirstCamera.defaultName)},
        ValueWrite{instanceKey, "CLSID", GuidText(filter::kCameraClassId)},
    });
}

HRESULT RegisterWithMapper(IFilterMapper2& mapper) {
    const REGFILTERPINS pin = OutputPinRecord();
    REGFILTER2 record{};
    record.dwVersion = 1;
    record.dwMerit = MERIT_NORMAL;
    record.cPins = 1;
    record.rgPins = &pin;
    IMoniker* moniker = nullptr;
    HRESULT result = mapper.RegisterFilter(filter::kCameraClassId, CameraName(), &moniker,
                                           &CLSID_VideoInputDeviceCategory, nullptr, &record);
    // Not needed: the device is found through the category. (IMoniker starts with IUnknown, and
    // the Linux declarations leave it incomplete.)
    sdk::ComPtr<IUnknown>::Adopt(reinterpret_cast<IUnknown*>(moniker));
    if (SUCCEEDED(result)) result = WriteDeviceKey();
    return result;
}

HRESULT UnregisterWithMapper(IFilterMapper2& mapper) {
    // The device key goes first, so that it is gone whatever the mapper answers. The mapper then
    // finds its instance key gone: that is the outcome asked for, not a failure.
    (void)DeleteRegistryTree(CameraInstanceKeyPath());
    const HRESULT result =
        mapper.UnregisterFilter(&CLSID_VideoInputDeviceCategory, nullptr, filter::kCameraClassId);
    return IsMissingKeyResult(result) ? S_OK : result;
}

HRESULT RegisterInApartment(bool registering, const std::u16string& modulePath) {
    if (registering) {
        const HRESULT written = WriteClassKeys(modulePath);
        if (FAILED(written)) return written;
    }
    sdk::ComPtr<IFilterMapper2> mapper;
    HRESULT result = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IFilterMapper2, mapper.PutVoid());
    if (FAILED(result)) return result;
    result = registering ? RegisterWithMapper(*mapper) : UnregisterWithMapper(*mapper);
    mapper.Reset();
    if (!registering && SUCCEEDED(result)) {
        result = DeleteClassKeys();
    }
    return result;
}

}  // namespace

HRESULT RegisterServer(bool registering) {
    std::u16string modulePath;
    if (const std::uint32_t error = platform::ModuleFilePath(modulePath); error != 0) {
        return HresultFromError(error);
    }
    const HRESULT initialised = CoInitialize(nullptr);
    if (FAILED(initialised) && initialised != RPC_E_CHANGED_MODE) return initialised;
    const HRESULT result = RegisterInApartment(registering, modulePath);
    CoFreeUnusedLibraries();
    if (initialised == S_OK || initialised == S_FALSE) CoUninitialize();
    return result;
}

}  // namespace orvanecam::com
