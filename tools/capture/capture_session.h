#pragma once
// A capture client's view of the system: the video input devices, one opened camera filter and
// a running graph that hands each sample's data to a callback. Windows builds use DirectShow
// itself; other builds load the registered module by path and drive it with the graph host
// stand-in.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sdk/com_ptr.h"
#include "sdk/directshow.h"

namespace orvanecam::tools {

using SampleCallback = std::function<void(const BYTE* data, long length)>;

class CaptureSession {
  public:
    virtual ~CaptureSession() = default;

    // Friendly names of the video input devices, in the system's order.
    virtual std::vector<std::string> ListDevices() = 0;
    // Creates the named device's filter; false (with a message) when it cannot.
    virtual bool Open(const std::string& name) = 0;
    // The opened filter (a borrowed reference).
    virtual IBaseFilter* Filter() = 0;
    // Connects pin with type to a sink and runs the graph; false (with a message) on failure.
    virtual bool Start(IPin& pin, const AM_MEDIA_TYPE& type, SampleCallback onSample) = 0;
    // Stops the graph and releases it with the filter.
    virtual void Stop() = 0;
};

std::unique_ptr<CaptureSession> MakeCaptureSession();

// The filter's output pin that says it is a capture pin (or, failing that, its first output
// pin), with a reference; null when there is none.
sdk::ComPtr<IPin> FindCapturePin(IBaseFilter& filter);

}  // namespace orvanecam::tools
