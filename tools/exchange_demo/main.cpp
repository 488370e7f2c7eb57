// Shows frames crossing processes through the shared frame block.
//   orvanecam-exchange-demo produce [--seconds S] [--fps F] [--size WxH]
//   orvanecam-exchange-demo read [--seconds S]
// The producer publishes a moving NV12 pattern; the reader reports once a second what it took.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/last_error.h"
#include "tools/exchange_demo/moving_pattern.h"

namespace {

using namespace orvanecam;

struct Options {
    std::string mode;
    double seconds = 3.0;
    int fps = 30;
    exchange::FrameSize size = exchange::kDefaultFrameSize;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    if (argc < 2) return false;
    options.mode = argv[1];
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        const char* value = argv[i + 1];
        if (name == "--seconds") {
            options.seconds = std::atof(value);
        } else if (name == "--fps") {
            options.fps = std::atoi(value);
        } else if (name == "--size") {
            if (std::sscanf(value, "%dx%d", &options.size.width, &options.size.height) != 2) {
                return false;
            }
        } else {
            return false;
        }
    }
    if ((argc - 2) % 2 != 0) return false;
    return (options.mode == "produce" || options.mode == "read") && options.seconds > 0 &&
           options.fps >= 1 && options.fps <= 120;
}

int Produce(const Options& options) {
    exchange::FramePublisher& publisher = exchange::ProducerExchange();
    if (!publisher.OpenOrCreateBlock()) {
        std::fprintf(stderr, "produce: cannot open the frame block (error %u)\n",
                     platform::ThreadLastError());
        return 1;
    }
    tools::MovingPattern pattern(options.size);
    const std::uint64_t start = platform::TickCountMs();
    const auto frames = static_cast<int>(options.seconds * options.fps);
    for (int n = 0; n < frames; ++n) {
        // Paced against the start, so a slow frame does not shift the ones after it.
        const std::uint64_t due =
            start + static_cast<std::uint64_t>(n) * 1000u / static_cast<std::uint64_t>(options.fps);
        const std::uint64_t now = platform::TickCountMs();
        if (due > now) platform::SleepMs(static_cast<std::uint32_t>(due - now));
        const auto& frame = pattern.Render(n);
        if (!publisher.PublishFrame(frame.data(), options.size.width, options.size.height)) {
            std::fprintf(stderr, "produce: frame %d refused\n", n);
            return 1;
        }
    }
    std::printf("produce: published %d frames of %dx%d in %.2f s\n", frames, options.size.width,
                options.size.height, static_cast<double>(platform::TickCountMs() - start) / 1000.0);
    return 0;
}

std::uint32_t Checksum(const std::uint8_t* data, std::size_t bytes) {
    std::uint32_t hash = 2166136261u;  // FNV-1a
    for (std::size_t i = 0; i < bytes; ++i) {
        hash = (hash ^ static_cast<std::uint32_t>(data[i])) * 16777619u;
    }
    return hash;
}

int Read(const Options& options) {
    exchange::FrameReader& reader = exchange::ReaderExchange();
    if (!reader.OpenReaderBlock()) {
        std::fprintf(stderr, "read: cannot open the frame block (error %u)\n",
                     platform::ThreadLastError());
        return 1;
    }
    reader.OpenReaderEvent();
    std::uint32_t lastSeq = reader.CurrentSeq();
    std::uint32_t checksum = 0;
    exchange::FrameSize size{};
    int framesThisSecond = 0;
    int framesTotal = 0;
    const std::uint64_t start = platform::TickCountMs();
    const auto end = start + static_cast<std::uint64_t>(options.seconds * 1000.0);
    std::uint64_t nextReport = start + 1000;
    for (std::uint64_t now = start; now < end; now = platform::TickCountMs()) {
        const bool live = reader.CheckPayload().payload;
        const std::uint32_t seq = reader.WaitForNewFrame(lastSeq);
        if (live && seq != lastSeq) {
            const auto rendered =
                reader.RenderNewFrame([&](const std::uint8_t* frame, exchange::FrameSize s) {
                    checksum = Checksum(frame, exchange::Nv12Bytes(s));
                });
            reader.TakeFrame(lastSeq, rendered);
            size = rendered.size;
            ++framesThisSecond;
            ++framesTotal;
        }
        if (now >= nextReport) {
            std::printf("read: %2llu s  %3d frames  last seq %u  %dx%d  checksum %08x  %s\n",
                        static_cast<unsigned long long>((now - start) / 1000), framesThisSecond,
                        lastSeq, size.width, size.height, checksum, live ? "live" : "no producer");
            std::fflush(stdout);
            framesThisSecond = 0;
            nextReport += 1000;
        }
    }
    reader.ReleaseFrameOnStop();
    std::printf("read: took %d frames in %.1f s\n", framesTotal, options.seconds);
    return framesTotal > 0 ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s produce [--seconds S] [--fps F] [--size WxH]\n"
                     "       %s read [--seconds S]\n",
                     argv[0], argv[0]);
        return 64;
    }
    return options.mode == "produce" ? Produce(options) : Read(options);
}
