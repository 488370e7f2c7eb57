// The capture session as any DirectShow client runs it: the system device enumerator lists the
// video input devices, the moniker creates the filter, and a graph of the filter graph manager
// connects its pin to the platform's sample grabber and null renderer.
#include <cstdio>
#include <string>

#include "capture/capture_session.h"
#include "graph_host/platform_filters.h"
#include "sdk/com_object.h"
#include "sdk/com_ptr.h"
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

// Hands every sample's buffer to the tool's callback, on the graph's streaming thread.
class GrabberCallback final : public sdk::ComObject<ISampleGrabberCB> {
  public:
    explicit GrabberCallback(SampleCallback onSample)
        : ComObject(IID_ISampleGrabberCB), m_onSample(std::move(onSample)) {}
    HRESULT STDMETHODCALLTYPE SampleCB(double, IMediaSample*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BufferCB(double, BYTE* buffer, LONG length) override {
        m_onSample(buffer, length);
        return S_OK;
    }

  private:
    SampleCallback m_onSample;
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
            result = moniker.BindToObject(nullptr, nullptr, IID_IBaseFilter, m_filter.PutVoid());
            return true;
        });
        if (!found) std::fprintf(stderr, "no video input device is named %s\n", name.c_str());
        if (found && FAILED(result))
            std::fprintf(stderr, "binding %s failed: 0x%08lX\n", name.c_str(), result);
        return found && SUCCEEDED(result);
    }

    IBaseFilter* Filter() override { return m_filter.Get(); }

    bool Start(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) override {
        const HRESULT result = BuildAndRun(pin, type, std::move(onSample));
        if (FAILED(result)) std::fprintf(stderr, "the graph did not start: 0x%08lX\n", result);
        return SUCCEEDED(result);
    }

    void Stop() override {
        if (m_control) m_control->Stop();
        if (m_grabber) m_grabber->SetCallback(nullptr, 1);
        m_control.Reset();
        m_grabber.Reset();
        m_grabberFilter.Reset();
        m_nullRenderer.Reset();
        m_graph.Reset();
        m_filter.Reset();
    }

  private:
    // Calls visit(moniker, friendly name) for each device until it returns true; returns
    // whether one did.
    template <class Visit>
    bool ForEachDevice(Visit&& visit) {
        sdk::ComPtr<ICreateDevEnum> devices;
        if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ICreateDevEnum, devices.PutVoid()))) {
            return false;
        }
        sdk::ComPtr<IEnumMoniker> monikers;
        // S_FALSE (and no enumerator) when the category is empty.
        if (devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.Put(), 0) !=
            S_OK) {
            return false;
        }
        sdk::ComPtr<IMoniker> moniker;
        while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
            if (visit(*moniker, FriendlyName(*moniker))) return true;
        }
        return false;
    }

    static std::string FriendlyName(IMoniker& moniker) {
        sdk::ComPtr<IPropertyBag> bag;
        if (FAILED(moniker.BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.PutVoid()))) {
            return {};
        }
        VARIANT value;
        VariantInit(&value);
        std::string name;
        if (SUCCEEDED(bag->Read(L"FriendlyName", &value, nullptr)) && value.vt == VT_BSTR) {
            name = Narrow(value.bstrVal);
        }
        VariantClear(&value);
        return name;
    }

    HRESULT BuildAndRun(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) {
        HRESULT result = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                          IID_IGraphBuilder, m_graph.PutVoid());
        if (SUCCEEDED(result)) result = m_graph->AddFilter(m_filter.Get(), L"OrvaneCam");
        if (SUCCEEDED(result))
            result = AddPlatformFilter(kSampleGrabberClassId, L"Grabber", m_grabberFilter);
        if (SUCCEEDED(result))
            result = AddPlatformFilter(kNullRendererClassId, L"Null", m_nullRenderer);
        if (SUCCEEDED(result)) {
            result = m_grabberFilter->QueryInterface(IID_ISampleGrabber, m_grabber.PutVoid());
        }
        if (SUCCEEDED(result)) result = m_grabber->SetMediaType(const_cast<AM_MEDIA_TYPE*>(&type));
        if (SUCCEEDED(result)) result = m_grabber->SetBufferSamples(FALSE);
        if (SUCCEEDED(result)) result = m_grabber->SetOneShot(FALSE);
        if (SUCCEEDED(result)) {
            const auto callback =
                sdk::ComPtr<GrabberCallback>::Adopt(new GrabberCallback(std::move(onSample)));
            result = m_grabber->SetCallback(callback.Get(), 1);
        }
        if (SUCCEEDED(result)) result = Connect(&pin, *m_grabberFilter, &type);
        if (SUCCEEDED(result)) {
            const sdk::ComPtr<IPin> grabberOut = FirstPin(*m_grabberFilter, PINDIR_OUTPUT);
            result = grabberOut ? Connect(grabberOut.Get(), *m_nullRenderer, nullptr) : E_FAIL;
        }
        if (SUCCEEDED(result)) {
            result = m_graph->QueryInterface(IID_IMediaControl, m_control.PutVoid());
        }
        if (SUCCEEDED(result)) result = m_control->Run();
        return FAILED(result) ? result : S_OK;
    }

    HRESULT AddPlatformFilter(REFCLSID classId, const wchar_t* name,
                              sdk::ComPtr<IBaseFilter>& filter) {
        const HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER,
                                                IID_IBaseFilter, filter.PutVoid());
        return FAILED(result) ? result : m_graph->AddFilter(filter.Get(), name);
    }

    HRESULT Connect(IPin* from, IBaseFilter& to, const AM_MEDIA_TYPE* type) {
        const sdk::ComPtr<IPin> input = FirstPin(to, PINDIR_INPUT);
        return input ? m_graph->ConnectDirect(from, input.Get(), type) : E_FAIL;
    }

    bool m_comReady = false;
    sdk::ComPtr<IBaseFilter> m_filter;
    sdk::ComPtr<IGraphBuilder> m_graph;
    sdk::ComPtr<IBaseFilter> m_grabberFilter;
    sdk::ComPtr<IBaseFilter> m_nullRenderer;
    sdk::ComPtr<ISampleGrabber> m_grabber;
    sdk::ComPtr<IMediaControl> m_control;
};

}  // namespace

std::unique_ptr<CaptureSession> MakeCaptureSession() {
    return std::make_unique<DirectShowCaptureSession>();
}

}  // namespace orvanecam::tools
