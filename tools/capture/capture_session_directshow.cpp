// The capture session as any DirectShow client runs it: the system device enumerator lists the
// video input devices, the moniker creates the filter, and a graph of the filter graph manager
// connects its pin to the platform's sample grabber and null renderer.
#include <atomic>
#include <cstdio>
#include <string>

#include "capture/capture_session.h"
#include "graph_host/platform_filters.h"
#include "sdk/directshow_client.h"

namespace orvanecam::tools {
namespace {

using graph_host::FirstPin;
using graph_host::kNullRendererClassId;
using graph_host::kSampleGrabberClassId;

std::string Narrow(const wchar_t* text) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string out(static_cast<std::size_t>(bytes - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), bytes, nullptr, nullptr);
    return out;
}

template <class Interface>
void ReleaseAndClear(Interface*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

// Hands every sample's buffer to the tool's callback, on the graph's streaming thread.
class GrabberCallback final : public ISampleGrabberCB {
  public:
    explicit GrabberCallback(SampleCallback onSample) : m_onSample(std::move(onSample)) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) {
            *object = static_cast<ISampleGrabberCB*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG refs = --m_refs;
        if (refs == 0) delete this;
        return refs;
    }
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, LONG length) override {
        m_onSample(buffer, length);
        return S_OK;
    }

  private:
    SampleCallback m_onSample;
    std::atomic<ULONG> m_refs{1};
};

class DirectShowCaptureSession final : public CaptureSession {
  public:
    DirectShowCaptureSession() {
        m_comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    }
    ~DirectShowCaptureSession() override {
        Stop();
        if (m_comReady) CoUninitialize();
    }

    std::vector<std::string> ListDevices() override {
        std::vector<std::string> names;
        ForEachDevice([&](IMoniker&, const std::string& name) {
            names.push_back(name);
            return false;
        });
        return names;
    }

    bool Open(const std::string& name) override {
        HRESULT result = E_FAIL;
        const bool found = ForEachDevice([&](IMoniker& moniker, const std::string& deviceName) {
            if (deviceName != name) return false;
            result = moniker.BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                          reinterpret_cast<void**>(&m_filter));
            return true;
        });
        if (!found) std::fprintf(stderr, "no video input device is named %s\n", name.c_str());
        if (found && FAILED(result))
            std::fprintf(stderr, "binding %s failed: 0x%08lX\n", name.c_str(), result);
        return found && SUCCEEDED(result);
    }

    IBaseFilter* Filter() override { return m_filter; }

    bool Start(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) override {
        const HRESULT result = BuildAndRun(pin, type, std::move(onSample));
        if (FAILED(result)) std::fprintf(stderr, "the graph did not start: 0x%08lX\n", result);
        return SUCCEEDED(result);
    }

    void Stop() override {
        if (m_control != nullptr) m_control->Stop();
        if (m_grabber != nullptr) m_grabber->SetCallback(nullptr, 1);
        ReleaseAndClear(m_control);
        ReleaseAndClear(m_grabber);
        ReleaseAndClear(m_grabberFilter);
        ReleaseAndClear(m_nullRenderer);
        ReleaseAndClear(m_graph);
        ReleaseAndClear(m_filter);
    }

  private:
    // Calls visit(moniker, friendly name) for each device until it returns true; returns
    // whether one did.
    template <class Visit>
    bool ForEachDevice(Visit&& visit) {
        ICreateDevEnum* devices = nullptr;
        if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ICreateDevEnum, reinterpret_cast<void**>(&devices)))) {
            return false;
        }
        IEnumMoniker* monikers = nullptr;
        bool stopped = false;
        // S_FALSE (and no enumerator) when the category is empty.
        if (devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) == S_OK) {
            IMoniker* moniker = nullptr;
            while (!stopped && monikers->Next(1, &moniker, nullptr) == S_OK) {
                stopped = visit(*moniker, FriendlyName(*moniker));
                moniker->Release();
            }
            monikers->Release();
        }
        devices->Release();
        return stopped;
    }

    static std::string FriendlyName(IMoniker& moniker) {
        IPropertyBag* bag = nullptr;
        if (FAILED(moniker.BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                         reinterpret_cast<void**>(&bag)))) {
            return {};
        }
        VARIANT value;
        VariantInit(&value);
        std::string name;
        if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) {
            name = Narrow(value.bstrVal);
        }
        VariantClear(&value);
        bag->Release();
        return name;
    }

    HRESULT BuildAndRun(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) {
        HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IGraphBuilder, reinterpret_cast<void**>(&m_graph));
        if (SUCCEEDED(result)) result = m_graph->AddFilter(m_filter, L"OrvaneCam");
        if (SUCCEEDED(result))
            result = AddPlatformFilter(kSampleGrabberClassId, L"Grabber", m_grabberFilter);
        if (SUCCEEDED(result))
            result = AddPlatformFilter(kNullRendererClassId, L"Null", m_nullRenderer);
        if (SUCCEEDED(result)) {
            result = m_grabberFilter->QueryInterface(IID_ISampleGrabber,
                                                     reinterpret_cast<void**>(&m_grabber));
        }
        if (SUCCEEDED(result)) result = m_grabber->SetMediaType(const_cast<AM_MEDIA_TYPE*>(&type));
        if (SUCCEEDED(result)) result = m_grabber->SetBufferSamples(FALSE);
        if (SUCCEEDED(result)) result = m_grabber->SetOneShot(FALSE);
        if (SUCCEEDED(result)) {
            auto* callback = new GrabberCallback(std::move(onSample));
            result = m_grabber->SetCallback(callback, 1);
            callback->Release();
        }
        if (SUCCEEDED(result)) result = Connect(&pin, *m_grabberFilter, &type);
        if (SUCCEEDED(result)) {
            IPin* grabberOut = FirstPin(*m_grabberFilter, PINDIR_OUTPUT);
            result = grabberOut == nullptr ? E_FAIL : Connect(grabberOut, *m_nullRenderer, nullptr);
            ReleaseAndClear(grabberOut);
        }
        if (SUCCEEDED(result)) {
            result =
                m_graph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_control));
        }
        if (SUCCEEDED(result)) result = m_control->Run();
        return FAILED(result) ? result : S_OK;
    }

    HRESULT AddPlatformFilter(REFCLSID classId, const wchar_t* name, IBaseFilter*& filter) {
        const HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IBaseFilter, reinterpret_cast<void**>(&filter));
        return FAILED(result) ? result : m_graph->AddFilter(filter, name);
    }

    HRESULT Connect(IPin* from, IBaseFilter& to, const AM_MEDIA_TYPE* type) {
        IPin* input = FirstPin(to, PINDIR_INPUT);
        if (input == nullptr) return E_FAIL;
        const HRESULT result = m_graph->ConnectDirect(from, input, type);
        input->Release();
        return result;
    }

    bool m_comReady = false;
    IBaseFilter* m_filter = nullptr;
    IGraphBuilder* m_graph = nullptr;
    IBaseFilter* m_grabberFilter = nullptr;
    IBaseFilter* m_nullRenderer = nullptr;
    ISampleGrabber* m_grabber = nullptr;
    IMediaControl* m_control = nullptr;
};

}  // namespace

std::unique_ptr<CaptureSession> MakeCaptureSession() {
    return std::make_unique<DirectShowCaptureSession>();
}

}  // namespace orvanecam::tools
