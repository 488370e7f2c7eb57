// PublishFrame at the default portrait size against the least that job needs: one copy of the
// frame (it makes two: frameArea and lastFrameArea, which readers of other builds rely on).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "exchange/publisher.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace {

using namespace orvanecam;

constexpr exchange::FrameSize kSize{1080, 1920};
const std::size_t kFrameBytes = exchange::Nv12Bytes(kSize);  // 3,110,400

// Everything is created once, so no repetition pays for first-touch page faults.
const std::vector<std::uint8_t>& Source() {
    static const std::vector<std::uint8_t> frame = [] {
        std::vector<std::uint8_t> bytes(kFrameBytes);
        for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31);
        return bytes;
    }();
    return frame;
}

void BM_OneMemcpy(benchmark::State& state) {
    static std::vector<std::uint8_t> copy(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), Source().data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
}
ORVANECAM_RATIO_BENCHMARK(BM_OneMemcpy);

void BM_PublishFrame(benchmark::State& state) {
    static exchange::FramePublisher publisher;
    if (!publisher.OpenOrCreateBlock()) {
        state.SkipWithError("cannot open the block");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            publisher.PublishFrame(Source().data(), kSize.width, kSize.height));
        benchmark::ClobberMemory();
    }
}
ORVANECAM_RATIO_BENCHMARK(BM_PublishFrame);

}  // namespace

int main(int argc, char** argv) {
    // A block of its own, apart from any camera in use on this machine.
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-bench" + std::to_string(platform::CurrentProcessId()));
    return bench::RunWithRatios(argc, argv, {{"BM_PublishFrame", "BM_OneMemcpy"}});
}
