// The capture session without DirectShow: devices come from the registry's video input
// category, the filter from the module its class key names (loaded by path, through
// DllGetClassObject and the class factory), and the graph is the graph host stand-in.
#include <cstdio>
#include <optional>

#include "capture/capture_session.h"
#include "graph_host/graph_host.h"
#include "platform/registry.h"
#include "platform/shared_library.h"
#include "platform/utf16.h"
#include "sdk/com_ptr.h"
#include "sdk/guid_text.h"

namespace orvanecam::tools {
namespace {

using platform::RegistryKey;
using platform::RegistryRoot;
using platform::RegistryView;

// CLSID\{video input category}\Instance
std::string DeviceInstancesKey() {
    return "CLSID\\" + platform::Utf16ToUtf8(sdk::GuidText(CLSID_VideoInputDeviceCategory)) +
           "\\Instance";
}
constexpr std::size_t kMaxValueBytes = 2048;

using GetClassObject = HRESULT (*)(REFCLSID, REFIID, void**);

std::optional<std::u16string> ReadString(const std::string& path, const std::string& name) {
    std::uint32_t error = 0;
    const auto key = RegistryKey::Open(RegistryRoot::kClassesRoot, path, RegistryView::k64Bit,
                                       platform::RegistryAccess::kQueryValue, error);
    std::u16string value;
    if (!key || key->QueryString(name, kMaxValueBytes, value) != 0) return std::nullopt;
    return value;
}

// The module path a class's server key names, if any.
std::optional<std::u16string> ServerOf(const std::u16string& classId) {
    return ReadString("CLSID\\" + platform::Utf16ToUtf8(classId) + "\\InprocServer32", "");
}

struct Device {
    std::string name;
    std::u16string classId;
};

std::vector<Device> Devices() {
    std::vector<Device> devices;
    std::uint32_t error = 0;
    const std::string instancesKey = DeviceInstancesKey();
    const auto instances =
        RegistryKey::Open(RegistryRoot::kClassesRoot, instancesKey, RegistryView::k64Bit,
                          platform::RegistryAccess::kQueryValue, error);
    if (!instances) return devices;
    for (const std::string& instance : instances->SubkeyNames()) {
        const std::string path = instancesKey + "\\" + instance;
        const auto name = ReadString(path, "FriendlyName");
        const auto classId = ReadString(path, "CLSID");
        // A device whose class is gone (a half-removed install) cannot be opened: not listed.
        if (name && classId && ServerOf(*classId)) {
            devices.push_back({platform::Utf16ToUtf8(*name), *classId});
        }
    }
    return devices;
}

class ModuleCaptureSession final : public CaptureSession {
  public:
    ~ModuleCaptureSession() override { Stop(); }

    std::vector<std::string> ListDevices() override {
        std::vector<std::string> names;
        for (const Device& device : Devices()) names.push_back(device.name);
        return names;
    }

    bool Open(const std::string& name) override {
        for (const Device& device : Devices()) {
            if (device.name == name) return Create(device);
        }
        std::fprintf(stderr, "no video input device is named %s\n", name.c_str());
        return false;
    }

    IBaseFilter* Filter() override { return m_filter; }

    bool Start(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) override {
        m_graph = new graph_host::EventSinkGraph();
        m_filter->JoinFilterGraph(m_graph, nullptr);
        graph_host::SinkOptions options;
        options.onSample = std::move(onSample);
        m_sink = new graph_host::SinkPin(std::move(options));
        m_pin = &pin;
        m_pin->AddRef();
        HRESULT result = m_pin->Connect(m_sink, &type);
        if (SUCCEEDED(result)) result = m_filter->Pause();
        if (SUCCEEDED(result)) result = m_filter->Run(0);
        if (FAILED(result)) std::fprintf(stderr, "the graph did not start: 0x%08X\n", result);
        return SUCCEEDED(result);
    }

    void Stop() override {
        if (m_filter == nullptr) return;
        if (m_pin != nullptr) {
            graph_host::TearDownCaptureGraph(m_filter, m_pin, m_sink);
            m_pin->Release();
        } else {
            m_filter->Release();
        }
        if (m_graph != nullptr) m_graph->Release();
        m_filter = nullptr;
        m_pin = nullptr;
        m_sink = nullptr;
        m_graph = nullptr;
    }

  private:
    bool Create(const Device& device) {
        CLSID classId{};
        if (FAILED(CLSIDFromString(device.classId.c_str(), &classId))) {
            std::fprintf(stderr, "%s has an unreadable class id\n", device.name.c_str());
            return false;
        }
        const auto server = ServerOf(device.classId);
        if (server) m_module = platform::SharedLibrary::Load(platform::Utf16ToUtf8(*server));
        const auto getClassObject =
            m_module ? reinterpret_cast<GetClassObject>(m_module->Symbol("DllGetClassObject"))
                     : nullptr;
        if (getClassObject == nullptr) {
            std::fprintf(stderr, "the module registered for %s cannot be loaded\n",
                         device.name.c_str());
            return false;
        }
        sdk::ComPtr<IClassFactory> factory;
        HRESULT result = getClassObject(classId, IID_IClassFactory, factory.PutVoid());
        if (SUCCEEDED(result)) {
            result = factory->CreateInstance(nullptr, IID_IBaseFilter,
                                             reinterpret_cast<void**>(&m_filter));
        }
        if (FAILED(result)) std::fprintf(stderr, "creating the filter failed: 0x%08X\n", result);
        return SUCCEEDED(result);
    }

    // Declared first so that it is unloaded last, after everything it created is gone.
    std::optional<platform::SharedLibrary> m_module;
    IBaseFilter* m_filter = nullptr;
    IPin* m_pin = nullptr;
    graph_host::SinkPin* m_sink = nullptr;
    graph_host::EventSinkGraph* m_graph = nullptr;
};

}  // namespace

std::unique_ptr<CaptureSession> MakeCaptureSession() {
    return std::make_unique<ModuleCaptureSession>();
}

}  // namespace orvanecam::tools
