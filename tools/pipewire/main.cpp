// The cameras for Linux applications: a PipeWire video source node per camera, fed by its shared
// block, so browsers, recorders and anything else that takes PipeWire cameras can use them, and
// an audio source node per camera ("OrvaneCam Microphone", ...) fed by its sound ring.
//   orvanecam-pipewire [--camera N] [--verbose]
// Publishes every registered camera (camera 1 when none is), or only camera N. Runs until
// interrupted (SIGINT, SIGTERM); --verbose logs one line a second per camera.
#include <cstdio>
#include <memory>
#include <vector>

#include "common/command_line.h"
#include "devices/camera_keys.h"
#include "pipewire/bridge.h"
#include "pipewire/microphone_source.h"
#include "platform/utf16.h"

namespace {

using namespace orvanecam;

std::vector<const camera::CameraIdentity*> CamerasToPublish(const tools::CommandLine& options) {
    if (options.Has("--camera")) {
        const auto number = options.Number("--camera", 1, camera::kMaxCameras);
        if (!number) return {};
        return {camera::CameraNumbered(*number)};
    }
    auto registered = devices::RegisteredCameras(platform::kOwnRegistryView);
    if (registered.empty()) registered.push_back(&camera::kFirstCamera);
    return registered;
}

// A camera's bridge, its node and its microphone; the bridge outlives the node that calls it.
struct PublishedCamera {
    std::unique_ptr<pipewire::Bridge> bridge;
    std::unique_ptr<pipewire::VideoSource> node;
    std::unique_ptr<pipewire::MicrophoneSource> microphone;
};

}  // namespace

int main(int argc, char** argv) {
    if (tools::AnswersVersion(argc, argv, "orvanecam-pipewire")) return 0;
    tools::CommandLine options;
    const auto cameras = options.Parse(argc, argv, {"--camera"}, {"--verbose"})
                             ? CamerasToPublish(options)
                             : std::vector<const camera::CameraIdentity*>();
    if (cameras.empty()) {
        std::fputs("usage: orvanecam-pipewire [--camera N] [--verbose]\n", stderr);
        return 2;
    }
    const auto session = pipewire::Session::Connect();
    if (!session) return 1;
    std::vector<PublishedCamera> published;
    for (const camera::CameraIdentity* camera : cameras) {
        PublishedCamera entry;
        entry.bridge = std::make_unique<pipewire::Bridge>(*camera, options.Has("--verbose"));
        const std::string name = pipewire::NodeName(*camera);
        entry.node = pipewire::VideoSource::Create(*session, name, pipewire::CurrentOffer(*camera),
                                                   *entry.bridge);
        entry.microphone = pipewire::MicrophoneSource::Create(*session, *camera);
        if (!entry.node || !entry.microphone) return 1;
        std::printf("orvanecam-pipewire: camera %d is the PipeWire node \"%s\" with \"%s\"\n",
                    camera->number, name.c_str(),
                    platform::Utf16ToUtf8(camera::MicrophoneName(*camera)).c_str());
        published.push_back(std::move(entry));
    }
    std::fflush(stdout);
    session->Run();
    return 0;
}
