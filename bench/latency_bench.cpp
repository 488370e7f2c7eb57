// Latency across processes, from a producer's SendFrameNV12 to the capture client's sample, at
// 30 fps: median and 99th percentile, for a fresh client and for a client that starts after
// another came and was killed (which leaves its attachment counted). Each frame carries its send
// time in its first luma bytes; sizes are the output size, so the bytes arrive unchanged.
// Usage: latency_bench (as the client); it starts itself as the producer and the visitor.
#include <orvanecam/orvanecam.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "filter/vcam.h"
#include "filter/vcam_stream.h"
#include "graph_host/graph_host.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace {

using namespace orvanecam;

constexpr int kFrames = 150;

int Produce(int width, int height) {
    SetOutputFormat(width, height, 1);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * height * 3 / 2, 100);
    const std::int64_t interval = 333333;
    const std::int64_t start = platform::MonotonicTime100ns();
    for (int n = 0; n < kFrames + 60; ++n) {
        platform::SleepUntil100ns(start + n * interval);
        const std::int64_t now = platform::MonotonicTime100ns();
        std::memcpy(frame.data(), &now, sizeof(now));
        SendFrameNV12(frame.data(), width, height, width);
    }
    return 0;
}

// A client that attaches and then is killed before it can leave.
int Visit() {
    exchange::ReaderExchange().OpenReaderBlock();
    platform::SleepMs(60000);
    return 0;
}

struct Figures {
    double medianMs;
    double p99Ms;
    std::size_t frames;
};

Figures Measure(const std::string& self, int width, int height) {
    std::mutex mutex;
    std::vector<double> latencies;
    std::set<std::int64_t> seen;
    graph_host::SinkOptions options;
    options.onSample = [&](const BYTE* data, LONG length) {
        const std::int64_t now = platform::MonotonicTime100ns();
        if (length < 8) return;
        std::int64_t sent = 0;
        std::memcpy(&sent, data, sizeof(sent));
        if (sent <= 0 || sent > now) return;  // a repeat of nothing yet, or the vacant picture
        std::lock_guard<std::mutex> lock(mutex);
        // Repeats carry the stamp of a frame already counted: each frame counts once, when it
        // first arrives.
        if (seen.insert(sent).second) latencies.push_back(static_cast<double>(now - sent) / 1e4);
    };
    auto producer = platform::ChildProcess::Start(
        self, {"--produce", std::to_string(width), std::to_string(height)});
    platform::SleepMs(300);  // the producer has set its size and is sending
    HRESULT result = S_OK;
    auto* camera = static_cast<filter::CVCam*>(filter::CVCam::CreateInstance(nullptr, &result));
    camera->NonDelegatingAddRef();
    IBaseFilter* filter = camera;
    auto* sink = new graph_host::SinkPin(std::move(options));
    camera->Stream()->Connect(sink, nullptr);
    filter->Run(0);
    while (true) {
        platform::SleepMs(100);
        std::lock_guard<std::mutex> lock(mutex);
        if (latencies.size() >= static_cast<std::size_t>(kFrames)) break;
    }
    graph_host::TearDownCaptureGraph(filter, camera->Stream(), sink);
    if (producer) producer->WaitForExit(10000);
    std::sort(latencies.begin(), latencies.end());
    const std::size_t count = latencies.size();
    return {latencies[count / 2], latencies[count * 99 / 100], count};
}

}  // namespace

int main(int argc, char** argv) {
    const std::string self = argv[0];
    if (argc == 4 && std::string(argv[1]) == "--produce") {
        return Produce(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (argc == 2 && std::string(argv[1]) == "--visit") return Visit();
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-latency" + std::to_string(platform::CurrentProcessId()));
    for (const auto& [width, height] : {std::pair{640, 480}, std::pair{1080, 1920}}) {
        const Figures fresh = Measure(self, width, height);
        auto visitor = platform::ChildProcess::Start(self, {"--visit"});
        platform::SleepMs(300);
        if (visitor) visitor->Kill();
        const Figures after = Measure(self, width, height);
        std::printf(
            "%4d x %-4d  fresh client: median %5.2f ms, p99 %5.2f ms  |  after a killed "
            "client: median %5.2f ms, p99 %5.2f ms\n",
            width, height, fresh.medianMs, fresh.p99Ms, after.medianMs, after.p99Ms);
    }
    return 0;
}
