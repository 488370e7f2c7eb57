#include "playback/playback_clock.h"

#include <algorithm>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace orvanecam::playback {
namespace {

constexpr std::int64_t kFallbackFrameMs = 33;
constexpr AVRational kMilliseconds{1, 1000};
// A forward jump longer than this many intervals (and than kMinJumpMs) is a break, not a pause.
constexpr std::int64_t kJumpIntervals = 10;
constexpr std::int64_t kMinJumpMs = 1000;

bool IsRate(AVRational rate) {
    return rate.num > 0 && rate.den > 0;
}

}  // namespace

std::int64_t FrameTimeMs(std::int64_t timestamp, AVRational timeBase, AVRational frameRate,
                         std::uint64_t index) {
    if (timestamp != AV_NOPTS_VALUE && IsRate(timeBase)) {
        const std::int64_t time = av_rescale_q(timestamp, timeBase, kMilliseconds);
        if (time != AV_NOPTS_VALUE) return time;
    }
    const auto count = static_cast<std::int64_t>(index);
    if (IsRate(frameRate))
        return av_rescale_q(count, AVRational{frameRate.den, frameRate.num}, kMilliseconds);
    return count * kFallbackFrameMs;
}

std::int64_t FrameIntervalMs(AVRational frameRate) {
    if (!IsRate(frameRate)) return kFallbackFrameMs;
    return std::max<std::int64_t>(
        av_rescale_q(1, AVRational{frameRate.den, frameRate.num}, kMilliseconds), 1);
}

std::uint64_t DueTick(PlaybackClock& clock, std::int64_t timeMs, std::int64_t intervalMs) {
    if (clock.baseTime == AV_NOPTS_VALUE) {
        clock.baseTime = timeMs;
    } else {
        const std::int64_t step = timeMs - clock.lastTime;
        if (step > std::max(kJumpIntervals * intervalMs, kMinJumpMs) || step < -intervalMs) {
            // Carry on one interval after the previous frame.
            clock.baseTime = timeMs - (clock.lastOffset + intervalMs);
        }
    }
    clock.lastTime = timeMs;
    clock.lastOffset = std::max<std::int64_t>(timeMs - clock.baseTime, 0);
    return clock.startTick + static_cast<std::uint64_t>(clock.lastOffset);
}

}  // namespace orvanecam::playback
