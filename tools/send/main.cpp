// A producer application: loads the camera module and sends a test picture through its API.
//   orvanecam-send [--pattern moving-bars] [--size WxH] [--seconds S] [--fps N]
//                  [--output WxH] [--module PATH]
// --output also sets the camera's output size (NV12 offered first).
#include <cstdio>

#include "common/camera_module.h"
#include "common/command_line.h"
#include "common/moving_bars.h"
#include "platform/clock.h"

namespace {

using namespace orvanecam;

constexpr char kUsage[] =
    "usage: orvanecam-send [--pattern moving-bars] [--size WxH] [--seconds S] [--fps N]\n"
    "                      [--output WxH] [--module PATH]\n";

int Fail(const char* what, std::uint32_t error) {
    std::fprintf(stderr, "orvanecam-send: %s failed with error %u\n", what, error);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    tools::CommandLine options;
    if (!options.Parse(argc, argv,
                       {"--pattern", "--size", "--seconds", "--fps", "--output", "--module"}, {})) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto size = options.Has("--size") ? options.Size("--size")
                                            : std::optional<tools::PictureSize>({640, 360});
    const auto seconds = options.Has("--seconds") ? options.Number("--seconds", 1, 3600)
                                                  : std::optional<int>(5);
    const auto fps = options.Has("--fps") ? options.Number("--fps", 1, 120) : std::optional<int>(30);
    const auto output = options.Size("--output");
    if (!size || size->width % 2 != 0 || size->height % 2 != 0 || !seconds || !fps ||
        (options.Has("--output") && !output) ||
        options.Text("--pattern", "moving-bars") != "moving-bars") {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const auto module = tools::CameraModule::Load(options.Text("--module", ""));
    if (!module) return 1;
    if (module->initVcam() != 0) return Fail("InitVcam", module->LastError());
    if (output && module->setOutputFormat(output->width, output->height, 1) != 0) {
        return Fail("SetOutputFormat", module->LastError());
    }

    tools::MovingBars pattern(*size);
    const int frames = *seconds * *fps;
    const std::uint64_t start = platform::TickCountMs();
    for (int n = 0; n < frames; ++n) {
        const auto& frame = pattern.Render(n);
        if (module->sendFrameNv12(frame.data(), size->width, size->height, size->width) != 0) {
            return Fail("SendFrameNV12", module->LastError());
        }
        // Keep to the frame rate against the clock rather than frame by frame.
        const auto due = start + static_cast<std::uint64_t>(n + 1) * 1000u /
                                     static_cast<std::uint64_t>(*fps);
        const auto now = platform::TickCountMs();
        if (due > now) platform::SleepMs(static_cast<std::uint32_t>(due - now));
        if ((n + 1) % *fps == 0) std::printf("sent %d frames\n", n + 1);
        std::fflush(stdout);
    }
    const double elapsed = static_cast<double>(platform::TickCountMs() - start) / 1000.0;
    std::printf("sent %d frames of %dx%d in %.1f s\n", frames, size->width, size->height, elapsed);
    return 0;
}
