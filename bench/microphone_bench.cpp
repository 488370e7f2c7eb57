// Two figures of a camera's microphone as a DirectShow client records it, both against the frame
// interval (33.3 ms at 30 fps) and the recorder's own buffer (20 ms), measured in the same run:
// - latency: a producer thread sends sound in 10 ms pieces with SendAudio; every fifth piece
//   carries its send time in its first samples; the recorder (the microphone's pin, 20 ms
//   buffers) reads it from each buffer as it arrives. Median and 99th percentile.
// - audio/video offset: a clip with a white flash and a 1 kHz beep at the start of every second
//   is played with its sound routed to the microphone; one client takes the camera's pin and the
//   microphone's on one clock, and the beep's stamp less the flash's is taken each second. Median
//   and worst over 30 s.
// Usage: microphone_bench [CLIP] (without one, Debian's ffmpeg makes the clip in /tmp).
#include <orvanecam/orvanecam.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "filter/microphone.h"
#include "filter/microphone_stream.h"
#include "filter/vcam.h"
#include "filter/vcam_stream.h"
#include "filter/video_format.h"
#include "graph_host/graph_host.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"
#include "platform/utf16.h"

namespace {

using namespace orvanecam;

constexpr double kFrameMs = 1000.0 / 30;
constexpr double kBufferMs = 20;
constexpr std::int16_t kMark = 0x7A5A;

struct Spread {
    double median;
    double high;  // the 99th percentile, or the worst
};

Spread SpreadOf(std::vector<double> values, bool worst) {
    if (values.empty()) return {0, 0};
    std::sort(values.begin(), values.end());
    // The worst is the value farthest from zero, whichever side.
    const double high = worst ? (std::abs(values.front()) > std::abs(values.back()) ? values.front()
                                                                                    : values.back())
                              : values[values.size() * 99 / 100];
    return {values[values.size() / 2], high};
}

// The microphone of camera 1 with a sink; the sink's records stay the caller's to read.
struct Recorder {
    filter::CMicrophone* microphone = nullptr;
    graph_host::SinkPin* sink = nullptr;

    explicit Recorder(graph_host::SinkOptions options) {
        HRESULT result = S_OK;
        microphone = filter::CMicrophone::CreateFor(camera::kFirstCamera, nullptr, &result);
        microphone->NonDelegatingAddRef();
        sink = new graph_host::SinkPin(std::move(options));
        microphone->Stream()->Connect(sink, nullptr);
    }
    IBaseFilter* Filter() { return microphone; }
    void TearDown() { graph_host::TearDownCaptureGraph(microphone, microphone->Stream(), sink); }
};

Spread MeasureLatency() {
    std::mutex mutex;
    std::vector<double> latencies;
    graph_host::SinkOptions options;
    options.onSample = [&](const BYTE* data, LONG length) {
        const std::int64_t now = platform::MonotonicTime100ns();
        const auto* samples = reinterpret_cast<const std::int16_t*>(data);
        const std::size_t count = static_cast<std::size_t>(length) / 2;
        for (std::size_t i = 0; i + 10 <= count; i += 2) {
            if (samples[i] != kMark || samples[i + 1] != kMark) continue;
            std::int64_t sent = 0;
            std::memcpy(&sent, samples + i + 2, sizeof(sent));
            std::lock_guard lock(mutex);
            latencies.push_back(static_cast<double>(now - sent) / 1e4);
            break;
        }
    };
    Recorder recorder(std::move(options));
    recorder.Filter()->Run(0);
    std::atomic<bool> sending{true};
    std::thread producer([&] {
        std::vector<std::int16_t> piece(480 * 2);
        const std::int64_t start = platform::MonotonicTime100ns();
        for (int n = 0; sending; ++n) {
            platform::SleepUntil100ns(start + n * 100000);
            std::fill(piece.begin(), piece.end(), std::int16_t{0});
            if (n % 5 == 0) {
                const std::int64_t now = platform::MonotonicTime100ns();
                piece[0] = piece[1] = kMark;
                std::memcpy(piece.data() + 2, &now, sizeof(now));
            }
            SendAudio(piece.data(), 480, 2, 48000, ORVANECAM_SAMPLES_INT16);
        }
    });
    platform::SleepMs(20000);
    sending = false;
    producer.join();
    recorder.TearDown();
    return SpreadOf(latencies, false);
}

std::string MakeClip() {
    const std::string path = "/tmp/orvanecam-flash-beep.mp4";
    const std::string command =
        "ffmpeg -nostdin -v error -y -f lavfi -i color=c=black:s=320x240:r=30:d=32 -f lavfi -i "
        "sine=f=1000:sample_rate=48000:d=32 -filter_complex "
        "\"[0:v]drawbox=x=0:y=0:w=iw:h=ih:color=white:t=fill:enable='lt(mod(t,1),0.03)'[v];"
        "[1:a]volume=volume=0:enable='gte(mod(t,1),0.06)'[a]\" -map [v] -map [a] -c:v libx264 "
        "-pix_fmt yuv420p -c:a aac " +
        path;
    return std::system(command.c_str()) == 0 ? path : std::string();
}

// Stamps of the first bright picture after dark ones, and of the first loud sample after quiet.
struct Events {
    std::vector<double> flashesMs;
    std::vector<double> beepsMs;
};

// The clip played while the client records; the client starts lateMs after the play.
Events RecordClip(const std::string& clip, unsigned lateMs) {
    std::vector<bool> bright;
    std::atomic<LONG> width{0};
    std::vector<int> loudAt;  // the first loud sample's frame in each buffer, or -1
    graph_host::SinkOptions videoOptions;
    videoOptions.onSample = [&](const BYTE* data, LONG length) {
        // The middle of the picture's middle row (a narrower clip is pillarboxed).
        const LONG rows = width > 0 ? length * 2 / 3 / width : 0;
        bright.push_back(rows > 0 && data[(rows / 2) * width + width / 2] > 128);
    };
    graph_host::SinkOptions audioOptions;
    audioOptions.onSample = [&](const BYTE* data, LONG length) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(data);
        int first = -1;
        for (LONG i = 0; i < length / 4 && first < 0; ++i) {
            if (std::abs(samples[2 * i]) > 1500) first = static_cast<int>(i);
        }
        loudAt.push_back(first);
    };
    HRESULT result = S_OK;
    auto* camera = static_cast<filter::CVCam*>(filter::CVCam::CreateInstance(nullptr, &result));
    camera->NonDelegatingAddRef();
    auto* videoSink = new graph_host::SinkPin(std::move(videoOptions));
    camera->Stream()->Connect(videoSink, nullptr);
    width = filter::BitmapHeaderOf(videoSink->ConnectionType())->biWidth;
    Recorder recorder(std::move(audioOptions));
    const sdk::ComPtr<IReferenceClock> clock =
        sdk::ComPtr<IReferenceClock>::Adopt(new graph_host::SystemClock());
    SetAudioRoute(ORVANECAM_SOUND_MICROPHONE);
    std::thread player([&clip] {
        const std::u16string path = platform::Utf8ToUtf16(clip);
        const std::uint32_t played =
            getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(path.c_str()));
        if (played != 0) std::printf("the clip did not play: %u\n", played);
    });
    platform::SleepMs(lateMs);
    IBaseFilter* video = camera;
    video->SetSyncSource(clock.Get());
    recorder.Filter()->SetSyncSource(clock.Get());
    REFERENCE_TIME start = 0;
    clock->GetTime(&start);
    video->Run(start);
    recorder.Filter()->Run(start);
    player.join();
    video->Stop();
    recorder.Filter()->Stop();
    const std::vector<graph_host::ReceivedSample> pictures = videoSink->Samples();
    const std::vector<graph_host::ReceivedSample> sound = recorder.sink->Samples();

    Events events;
    for (std::size_t i = 1; i < std::min(pictures.size(), bright.size()); ++i) {
        if (bright[i] && !bright[i - 1]) {
            events.flashesMs.push_back(static_cast<double>(pictures[i].start) / 1e4);
        }
    }
    double lastBeep = -1e9;
    for (std::size_t i = 0; i < std::min(sound.size(), loudAt.size()); ++i) {
        if (loudAt[i] < 0) continue;
        const double at = static_cast<double>(sound[i].start) / 1e4 + loudAt[i] / 48.0;
        if (at - lastBeep > 500) events.beepsMs.push_back(at);
        lastBeep = at;
    }
    graph_host::TearDownCaptureGraph(video, camera->Stream(), videoSink);
    recorder.TearDown();
    return events;
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-microphone" + std::to_string(platform::CurrentProcessId()));
    exchange::ReaderExchange().OpenReaderBlock();
    const Spread latency = MeasureLatency();
    std::printf(
        "SendAudio to the recorder's buffer (20 ms buffers, 20 s): median %.1f ms = %.2f "
        "buffers = %.2f frame intervals, p99 %.1f ms = %.2f buffers\n",
        latency.median, latency.median / kBufferMs, latency.median / kFrameMs, latency.high,
        latency.high / kBufferMs);

    const std::string clip = argc > 1 ? argv[1] : MakeClip();
    if (clip.empty()) {
        std::printf("no clip: pass one, or install ffmpeg\n");
        return 1;
    }
    for (const unsigned lateMs : {0u, 3000u}) {
        const Events events = RecordClip(clip, lateMs);
        std::vector<double> offsets;
        for (const double flash : events.flashesMs) {
            const auto nearest = std::min_element(
                events.beepsMs.begin(), events.beepsMs.end(),
                [&](double a, double b) { return std::abs(a - flash) < std::abs(b - flash); });
            if (nearest != events.beepsMs.end() && std::abs(*nearest - flash) < 500) {
                offsets.push_back(*nearest - flash);
            }
        }
        const Spread offset = SpreadOf(offsets, true);
        std::printf(
            "sound less picture, client started %u ms into the play (%zu flashes, %zu beeps): "
            "median %+.1f ms = %+.2f frame intervals, worst %+.1f ms = %+.2f frame intervals\n",
            lateMs, events.flashesMs.size(), events.beepsMs.size(), offset.median,
            offset.median / kFrameMs, offset.high, offset.high / kFrameMs);
    }
    return 0;
}
