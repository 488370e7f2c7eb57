// A capture client: lists the video input devices, opens the camera, negotiates a format,
// streams and keeps what arrives.
//   orvanecam-capture [--device NAME] [--frames N] [--out DIR] [--size WxH]
//                     [--format nv12|yuy2] [--timeout S] [--list]
// Writes DIR/capture.y4m, a few DIR/frame-NNNN.png snapshots and DIR/summary.txt. Exits 0 when
// all N frames arrived, 1 otherwise.
#include <cstdio>

#include "capture/capture_session.h"
#include "capture/frame_recorder.h"
#include "capture/stream_format.h"
#include "common/command_line.h"

namespace {

using namespace orvanecam;
using namespace orvanecam::tools;

constexpr char kUsage[] =
    "usage: orvanecam-capture [--device NAME] [--frames N] [--out DIR] [--size WxH]\n"
    "                         [--format nv12|yuy2] [--timeout S] [--list]\n";

struct Request {
    std::string device;
    std::string folder;
    int frames = 0;
    int timeoutSeconds = 0;
    FormatRequest format;
    bool listOnly = false;
};

std::optional<Request> ParseRequest(int argc, char** argv) {
    CommandLine options;
    if (!options.Parse(argc, argv,
                       {"--device", "--frames", "--out", "--size", "--format", "--timeout"},
                       {"--list"})) {
        return std::nullopt;
    }
    Request request;
    request.device = options.Text("--device", "OrvaneCam");
    request.folder = options.Text("--out", "capture-output");
    request.listOnly = options.Has("--list");
    const auto frames =
        options.Has("--frames") ? options.Number("--frames", 1, 100000) : std::optional<int>(90);
    const auto timeout =
        options.Has("--timeout") ? options.Number("--timeout", 1, 3600) : std::optional<int>(0);
    request.format.size = options.Size("--size");
    const std::string format = options.Text("--format", "");
    if (format == "nv12") request.format.format = PixelFormat::kNv12;
    if (format == "yuy2") request.format.format = PixelFormat::kYuy2;
    if (!frames || !timeout || (options.Has("--size") && !request.format.size) ||
        (!format.empty() && !request.format.format)) {
        return std::nullopt;
    }
    request.frames = *frames;
    request.timeoutSeconds = *timeout;
    return request;
}

// Picks and sets the stream's format; nothing (with a message) when that fails.
std::optional<StreamFormat> Negotiate(IPin& pin, const FormatRequest& request,
                                      OwnedMediaType& chosen) {
    sdk::ComPtr<IAMStreamConfig> config;
    if (FAILED(pin.QueryInterface(IID_IAMStreamConfig, config.PutVoid()))) {
        std::fputs("the capture pin has no IAMStreamConfig\n", stderr);
        return std::nullopt;
    }
    AM_MEDIA_TYPE* type = ChooseFormat(*config, request, chosen);
    const HRESULT set = type == nullptr ? E_FAIL : config->SetFormat(type);
    const auto format = type == nullptr ? std::nullopt : DescribeFormat(*type);
    if (FAILED(set) || !format) {
        std::fputs("the camera offers no format matching the request\n", stderr);
        return std::nullopt;
    }
    return format;
}

int Capture(CaptureSession& session, const Request& request) {
    if (!session.Open(request.device)) return 1;
    const sdk::ComPtr<IPin> pin = FindCapturePin(*session.Filter());
    if (!pin) {
        std::fputs("the camera has no output pin\n", stderr);
        return 1;
    }
    OwnedMediaType chosen;
    const auto format = Negotiate(*pin, request.format, chosen);
    FrameRecorder recorder(request.folder, format.value_or(StreamFormat{}), request.frames);
    bool started = format && recorder.Open();
    if (started) {
        std::printf("streaming %s %dx%d at %.2f fps\n",
                    format->format == PixelFormat::kNv12 ? "NV12" : "YUY2", format->size.width,
                    format->size.height, format->framesPerSecond);
        std::fflush(stdout);
        started = session.Start(*pin, *chosen.get(),
                                [&](const BYTE* data, long length) { recorder.Add(data, length); });
    }
    int received = 0;
    if (started) {
        const double fps = format->framesPerSecond > 1 ? format->framesPerSecond : 30;
        const unsigned timeoutMs = request.timeoutSeconds > 0
                                       ? static_cast<unsigned>(request.timeoutSeconds) * 1000u
                                       : static_cast<unsigned>(request.frames / fps * 2000 + 15000);
        received = recorder.WaitForFrames(timeoutMs);
    }
    session.Stop();
    if (!started) return 1;
    std::fputs(recorder.Finish(request.device).c_str(), stdout);
    std::printf("frames received: %d of %d\n", received, request.frames);
    return received == request.frames ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (tools::AnswersVersion(argc, argv, "orvanecam-capture")) return 0;
    const auto request = ParseRequest(argc, argv);
    if (!request) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto session = MakeCaptureSession();
    const auto devices = session->ListDevices();
    std::printf("video input devices: %zu\n", devices.size());
    for (const std::string& name : devices) std::printf("  %s\n", name.c_str());
    std::fflush(stdout);
    if (request->listOnly) return 0;
    return Capture(*session, *request);
}
