// A producer application: loads the camera module, applies the settings asked for and sends a
// test picture through its API.
//   orvanecam-send [--camera N] [--pattern moving-bars] [--size WxH] [--seconds S] [--fps N]
//                  [--output WxH] [--mirror] [--flip] [--rotate 90|180|270] [--show on|off]
//                  [--name NAME] [--vacant FILE.bmp] [--play MEDIA | --image IMAGE]
//                  [--tone HZ] [--sound speakers|mic|both] [--module PATH]
// --camera picks the camera (1 unless given; "--camera on|off" is the older spelling of --show).
// --output also sets the camera's output size (NV12 offered first) and --fps its offered rate
// (the pattern is sent at that rate either way); --seconds 0 only applies the settings. --play
// and --image send a file instead of the pattern; --play also takes a stream's URL, or - for
// standard input. --tone sends a sine tone of HZ to the camera's microphone with the pattern;
// --sound says where a played file's or stream's sound goes (the speakers unless given).
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "common/camera_module.h"
#include "common/command_line.h"
#include "common/moving_bars.h"
#include "common/tone.h"
#include "platform/clock.h"
#include "platform/utf16.h"

namespace {

using namespace orvanecam;

constexpr char kUsage[] =
    "usage: orvanecam-send [--camera N] [--pattern moving-bars] [--size WxH] [--seconds S]\n"
    "                      [--fps N] [--output WxH] [--mirror] [--flip]\n"
    "                      [--rotate 90|180|270] [--show on|off] [--name NAME]\n"
    "                      [--vacant FILE.bmp] [--play MEDIA | --image IMAGE] [--tone HZ]\n"
    "                      [--sound speakers|mic|both] [--module PATH]\n";

// "--camera on|off" switched the picture before cameras were numbered; it still does.
bool IsOnOff(const std::string& text) {
    return text == "on" || text == "off";
}

// The switch asked for: --show, else the older --camera on|off; empty when neither.
std::string ShowSwitch(const tools::CommandLine& options) {
    if (options.Has("--show")) return options.Text("--show", "");
    const std::string camera = options.Text("--camera", "");
    return IsOnOff(camera) ? camera : std::string();
}

// The camera number asked for: 1 unless --camera gives one; empty for a bad one.
std::optional<int> CameraNumber(const tools::CommandLine& options) {
    if (!options.Has("--camera") || IsOnOff(options.Text("--camera", ""))) return 1;
    return options.Number("--camera", 1, 16);
}

int Fail(const char* what, std::uint32_t error) {
    std::fprintf(stderr, "orvanecam-send: %s failed with error %u\n", what, error);
    return 1;
}

// UTF-8 command-line text as the API's UTF-16 string (kept alive by the caller).
const OrvaneCamChar16* ApiText(const std::u16string& text) {
    return reinterpret_cast<const OrvaneCamChar16*>(text.c_str());
}

// The route --sound names (an OrvaneCamSoundRoute value), 0 for a word it does not know.
std::int32_t SoundRoute(const tools::CommandLine& options) {
    const std::string route = options.Text("--sound", "");
    if (route == "speakers") return ORVANECAM_SOUND_SPEAKERS;
    if (route == "mic") return ORVANECAM_SOUND_MICROPHONE;
    return route == "both" ? ORVANECAM_SOUND_BOTH : 0;
}

// The settings calls, in a fixed order; 0 or the exit status after a message.
int ApplySettings(const tools::CameraModule& module, int camera,
                  const tools::CommandLine& options) {
    if (options.Has("--name")) {
        const std::u16string name = platform::Utf8ToUtf16(options.Text("--name", ""));
        if (const std::uint32_t error = module.setFriendlyName(camera, ApiText(name)); error != 0) {
            return Fail("SetFriendlyName", error);
        }
    }
    if (options.Has("--vacant")) {
        const std::u16string path = platform::Utf8ToUtf16(options.Text("--vacant", ""));
        if (const std::uint32_t error = module.setVacantImage(camera, ApiText(path)); error != 0) {
            return Fail("SetVacantImg", error);
        }
    }
    struct Switch {
        bool asked;
        std::uint32_t (*set)(std::int32_t, std::int32_t);
        std::int32_t value;
        const char* name;
    };
    const std::string show = ShowSwitch(options);
    const Switch switches[] = {
        {options.Has("--sound"), module.setAudioRoute, SoundRoute(options), "SetAudioRoute"},
        {options.Has("--mirror"), module.setMirrorEnabled, 1, "SetMirrorEnabled"},
        {options.Has("--flip"), module.setFlipEnabled, 1, "SetFlipEnabled"},
        {!show.empty(), module.setCameraOn, show == "on" ? 1 : 0, "setVcamOn"},
        {options.Has("--rotate"), module.setRotateRightDegree,
         options.Number("--rotate", 90, 270).value_or(90) / 90 - 1, "SetRotateRightDegree"},
    };
    for (const Switch& change : switches) {
        if (!change.asked) continue;
        if (const std::uint32_t error = change.set(camera, change.value); error != 0)
            return Fail(change.name, error);
    }
    return 0;
}

// Runs send (a blocking call of the module) while a progress line counts the seconds.
// What the progress line calls the source: a file by its path, a stream by its scheme alone, so
// that a URL's credentials never reach the output.
std::string SourceName(const std::string& file) {
    const std::size_t scheme = file.find("://");
    return scheme == std::string::npos ? file : file.substr(0, scheme) + " stream";
}

int SendFile(const char* what, const std::string& file, int camera,
             std::uint32_t (*send)(std::int32_t, const OrvaneCamChar16*)) {
    const std::u16string path = platform::Utf8ToUtf16(file);
    const std::string shown = SourceName(file);
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::thread progress([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (int seconds = 0;
             !finished.wait_for(lock, std::chrono::seconds(1), [&] { return done; });) {
            std::printf("\r%s %s: %d s", what, shown.c_str(), ++seconds);
            std::fflush(stdout);
        }
    });
    const std::uint32_t result = send(camera, ApiText(path));
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    finished.notify_one();
    progress.join();
    std::printf("\n");
    if (result != 0) return Fail(what, result);
    std::printf("%s %s: done\n", what, shown.c_str());
    return 0;
}

bool ValidSettings(const tools::CommandLine& options) {
    const auto rotate = options.Number("--rotate", 90, 270);
    return CameraNumber(options).has_value() && (!options.Has("--sound") || SoundRoute(options)) &&
           (!options.Has("--show") || IsOnOff(options.Text("--show", ""))) &&
           (!options.Has("--rotate") || (rotate && *rotate % 90 == 0));
}

}  // namespace

int main(int argc, char** argv) {
    if (tools::AnswersVersion(argc, argv, "orvanecam-send")) return 0;
    tools::CommandLine options;
    if (!options.Parse(
            argc, argv,
            {"--pattern", "--size", "--seconds", "--fps", "--output", "--module", "--rotate",
             "--camera", "--show", "--name", "--vacant", "--play", "--image", "--tone", "--sound"},
            {"--mirror", "--flip"})) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const auto size = options.Has("--size") ? options.Size("--size")
                                            : std::optional<tools::PictureSize>({640, 360});
    const auto seconds =
        options.Has("--seconds") ? options.Number("--seconds", 0, 3600) : std::optional<int>(5);
    const auto fps =
        options.Has("--fps") ? options.Number("--fps", 1, 120) : std::optional<int>(30);
    const auto output = options.Size("--output");
    const auto tone = options.Has("--tone") ? options.Number("--tone", 20, 20000) : std::nullopt;
    if (!size || size->width % 2 != 0 || size->height % 2 != 0 || !seconds || !fps ||
        (options.Has("--output") && !output) || (options.Has("--tone") && !tone) ||
        !ValidSettings(options) || (options.Has("--play") && options.Has("--image")) ||
        options.Text("--pattern", "moving-bars") != "moving-bars") {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const auto module = tools::CameraModule::Load(options.Text("--module", ""));
    if (!module) return 1;
    const int camera = *CameraNumber(options);
    if (const std::uint32_t error = module->initVcam(camera); error != 0) {
        return Fail("InitVcam", error);
    }
    if (output) {
        const std::uint32_t error =
            module->setOutputFormat(camera, output->width, output->height, 1);
        if (error != 0) return Fail("SetOutputFormat", error);
    }
    if (options.Has("--fps")) {
        if (const std::uint32_t error = module->setOutputFrameRate(camera, *fps); error != 0) {
            return Fail("SetOutputFrameRate", error);
        }
    }
    if (const int status = ApplySettings(*module, camera, options); status != 0) return status;
    if (options.Has("--play")) {
        // "-" is standard input, as FFmpeg names it.
        const std::string play = options.Text("--play", "");
        return SendFile("playing", play == "-" ? "pipe:0" : play, camera, module->playMedia);
    }
    if (options.Has("--image"))
        return SendFile("showing", options.Text("--image", ""), camera, module->showImage);

    tools::MovingBars pattern(*size);
    std::optional<tools::Tone> sound;
    if (tone) sound.emplace(*tone);
    const int frames = *seconds * *fps;
    const std::uint64_t start = platform::TickCountMs();
    for (int n = 0; n < frames; ++n) {
        const auto& frame = pattern.Render(n);
        const std::uint32_t error =
            module->sendFrameNv12(camera, frame.data(), size->width, size->height, size->width);
        if (error != 0) return Fail("SendFrameNV12", error);
        if (sound) {
            // The sound of this frame's interval, counted from the start so none goes missing.
            const std::int64_t due = std::int64_t{n + 1} * tools::Tone::kRate / *fps -
                                     std::int64_t{n} * tools::Tone::kRate / *fps;
            const auto& samples = sound->Next(static_cast<std::size_t>(due));
            const std::uint32_t sent =
                module->sendAudio(camera, samples.data(), static_cast<std::int32_t>(due), 2,
                                  tools::Tone::kRate, ORVANECAM_SAMPLES_INT16);
            if (sent != 0) return Fail("SendAudio", sent);
        }
        // Keep to the frame rate against the clock rather than frame by frame.
        const auto due =
            start + static_cast<std::uint64_t>(n + 1) * 1000u / static_cast<std::uint64_t>(*fps);
        const auto now = platform::TickCountMs();
        if (due > now) platform::SleepMs(static_cast<std::uint32_t>(due - now));
        if ((n + 1) % *fps == 0) std::printf("sent %d frames\n", n + 1);
        std::fflush(stdout);
    }
    const double elapsed = static_cast<double>(platform::TickCountMs() - start) / 1000.0;
    std::printf("sent %d frames of %dx%d in %.1f s\n", frames, size->width, size->height, elapsed);
    return 0;
}
