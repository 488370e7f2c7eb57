// The camera for Linux applications: a PipeWire video source node fed by the shared block, so
// browsers, recorders and anything else that takes PipeWire cameras can use it.
//   orvanecam-pipewire [--verbose]
// Runs until interrupted (SIGINT, SIGTERM); --verbose logs one line a second.
#include <cstdio>

#include "common/command_line.h"
#include "pipewire/bridge.h"

int main(int argc, char** argv) {
    using namespace orvanecam;
    if (tools::AnswersVersion(argc, argv, "orvanecam-pipewire")) return 0;
    tools::CommandLine options;
    if (!options.Parse(argc, argv, {}, {"--verbose"})) {
        std::fputs("usage: orvanecam-pipewire [--verbose]\n", stderr);
        return 2;
    }
    const camera::CameraIdentity& camera = camera::kFirstCamera;
    pipewire::Bridge bridge(camera, options.Has("--verbose"));
    const std::string name = pipewire::NodeName(camera);
    auto source = pipewire::VideoSource::Create(name, pipewire::CurrentOffer(camera), bridge);
    if (!source) return 1;
    std::printf("orvanecam-pipewire: the camera is the PipeWire node \"%s\"\n", name.c_str());
    std::fflush(stdout);
    source->Run();
    return 0;
}
