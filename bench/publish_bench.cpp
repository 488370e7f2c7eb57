// PublishFrame at the default portrait size against the two plain copies it has to make.
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

std::vector<std::uint8_t> PatternFrame() {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 31);
    return frame;
}

void BM_TwoMemcpy(benchmark::State& state) {
    const auto source = PatternFrame();
    std::vector<std::uint8_t> first(kFrameBytes);
    std::vector<std::uint8_t> second(kFrameBytes);
    for (auto _ : state) {
        std::memcpy(first.data(), source.data(), kFrameBytes);
        std::memcpy(second.data(), source.data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * kFrameBytes));
}
BENCHMARK(BM_TwoMemcpy)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

void BM_PublishFrame(benchmark::State& state) {
    const auto source = PatternFrame();
    exchange::FramePublisher publisher;
    if (!publisher.OpenOrCreateBlock()) {
        state.SkipWithError("cannot open the block");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(publisher.PublishFrame(source.data(), kSize.width, kSize.height));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 2 * kFrameBytes));
}
BENCHMARK(BM_PublishFrame)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    // A block of its own, apart from any camera in use on this machine.
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-bench" + std::to_string(platform::CurrentProcessId()));
    return bench::RunWithRatios(argc, argv, {{"BM_PublishFrame", "BM_TwoMemcpy"}});
}
