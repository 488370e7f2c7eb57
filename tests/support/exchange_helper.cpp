// A separate process for the exchange tests. Usage: exchange_helper COMMAND [ARGS...]
//   publish COUNT WIDTH HEIGHT INTERVAL_MS HOLD_MS  publish COUNT pattern frames, then stay HOLD_MS
//   publish-for DURATION_MS WIDTH HEIGHT            publish pattern frames for DURATION_MS
//   verify-frames COUNT TIMEOUT_MS                  render COUNT new frames under the lock, check
//   each take-frame SEQ TIMEOUT_MS                       attach as a reader, take the frame once
//   seq >= SEQ attach HOLD_MS                                  attach as a reader and stay HOLD_MS
// Pattern frames have every byte equal to the low byte of the seq they are published after.
// Exit codes: 0 success, 1 usage, 2 a mixed frame was seen, 3 nothing happened in time.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "platform/clock.h"

namespace {

using namespace orvanecam;

int Number(char** argv, int index) {
    return std::atoi(argv[index]);
}

bool PublishPatternFrame(exchange::FramePublisher& publisher, std::vector<std::uint8_t>& frame,
                         int width, int height) {
    if (!publisher.OpenOrCreateBlock()) return false;
    const auto next = exchange::Atomic(publisher.Block()->seq).load() + 1u;
    std::fill(frame.begin(), frame.end(), static_cast<std::uint8_t>(next & 0xFFu));
    return publisher.PublishFrame(frame.data(), width, height);
}

int Publish(int count, int width, int height, int intervalMs, int holdMs) {
    exchange::FramePublisher publisher;
    std::vector<std::uint8_t> frame(exchange::Nv12Bytes({width, height}));
    for (int i = 0; i < count; ++i) {
        if (!PublishPatternFrame(publisher, frame, width, height)) return 3;
        platform::SleepMs(static_cast<std::uint32_t>(intervalMs));
    }
    platform::SleepMs(static_cast<std::uint32_t>(holdMs));
    return 0;
}

int PublishFor(int durationMs, int width, int height) {
    exchange::FramePublisher publisher;
    std::vector<std::uint8_t> frame(exchange::Nv12Bytes({width, height}));
    const auto end = platform::TickCountMs() + static_cast<std::uint64_t>(durationMs);
    while (platform::TickCountMs() < end) {
        if (!PublishPatternFrame(publisher, frame, width, height)) return 3;
        // Fast, but with a real pause between frames: a writer that only yields can starve
        // readers of a consistent view on a loaded machine (seen under the sanitizers).
        platform::SleepMs(1);
    }
    return 0;
}

int VerifyFrames(long count, int timeoutMs) {
    exchange::FrameReader reader;
    if (!reader.OpenReaderBlock()) return 3;
    std::vector<std::uint8_t> copy(exchange::kRegionBytes);
    long checked = 0;
    long mixed = 0;
    std::uint32_t lastSeq = 0;
    const auto end = platform::TickCountMs() + static_cast<std::uint64_t>(timeoutMs);
    while (checked < count && platform::TickCountMs() < end) {
        const std::uint32_t seq = reader.WaitForNewFrame(lastSeq);
        if (seq == lastSeq) continue;
        const auto rendered =
            reader.RenderNewFrame([&](const std::uint8_t* frame, exchange::FrameSize size) {
                std::copy_n(frame, exchange::Nv12Bytes(size), copy.begin());
            });
        reader.TakeFrame(lastSeq, rendered);
        if (rendered.seq == 0) continue;
        // Each frame is uniform and differs from the one before, whoever published it.
        const auto bytes = static_cast<std::ptrdiff_t>(exchange::Nv12Bytes(rendered.size));
        ++checked;
        if (std::any_of(copy.begin(), copy.begin() + bytes,
                        [&](std::uint8_t b) { return b != copy[0]; })) {
            ++mixed;
        }
    }
    std::printf("checked %ld frames, %ld mixed\n", checked, mixed);
    return mixed != 0 ? 2 : checked < count ? 3 : 0;
}

int TakeFrame(std::uint32_t target, int timeoutMs) {
    exchange::FrameReader reader;
    if (!reader.OpenReaderBlock()) return 3;
    reader.OpenReaderEvent();
    std::uint32_t lastSeq = 0;
    const auto end = platform::TickCountMs() + static_cast<std::uint64_t>(timeoutMs);
    while (platform::TickCountMs() < end) {
        if (reader.WaitForNewFrame(lastSeq) < target) continue;
        reader.TakeFrame(lastSeq,
                         reader.RenderNewFrame([](const std::uint8_t*, exchange::FrameSize) {}));
        return 0;
    }
    return 3;
}

int Attach(int holdMs) {
    exchange::FrameReader reader;
    if (!reader.OpenReaderBlock()) return 3;
    platform::SleepMs(static_cast<std::uint32_t>(holdMs));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "publish" && argc == 7) {
        return Publish(Number(argv, 2), Number(argv, 3), Number(argv, 4), Number(argv, 5),
                       Number(argv, 6));
    }
    if (command == "publish-for" && argc == 5) {
        return PublishFor(Number(argv, 2), Number(argv, 3), Number(argv, 4));
    }
    if (command == "verify-frames" && argc == 4)
        return VerifyFrames(Number(argv, 2), Number(argv, 3));
    if (command == "take-frame" && argc == 4) {
        return TakeFrame(static_cast<std::uint32_t>(Number(argv, 2)), Number(argv, 3));
    }
    if (command == "attach" && argc == 3) return Attach(Number(argv, 2));
    std::fprintf(stderr, "usage: exchange_helper COMMAND [ARGS...] (see the source)\n");
    return 1;
}
