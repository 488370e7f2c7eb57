#pragma once
// Which pictures and rates a client may choose, the same rules for every front end: an even
// width within 2..4096, a height within 1..4096 (even but for YUY2, which pairs pixels along a
// row only), and a frame interval from 1/120 s to 1 s.
#include <cstdint>
#include <optional>

#include "exchange/block_layout.h"
#include "picture/render.h"
#include "platform/clock.h"

namespace orvanecam::camera {

inline constexpr std::int32_t kMaxFramesPerSecond = 120;
inline constexpr std::int64_t kMinFrameInterval = platform::kUnitsPerSecond / kMaxFramesPerSecond;
inline constexpr std::int64_t kMaxFrameInterval = platform::kUnitsPerSecond;
inline constexpr std::int64_t kDefaultFrameInterval =
    platform::kUnitsPerSecond / exchange::kDefaultFps;
// The step between picture sides the camera makes (and so the smallest side).
inline constexpr std::int32_t kSideStep = 2;

// A picture and rate of a stream.
struct Choice {
    picture::MediaFrame media;
    std::int64_t interval;  // 100 ns units; 0 where a client may leave the rate to the camera

    bool operator==(const Choice&) const = default;
};

// The frame interval of rate numerator/denominator frames a second; 0 for a rate of 0 or one
// that is not a number.
std::int64_t IntervalOfRate(std::uint64_t numerator, std::uint64_t denominator);

// The client's choice when the camera makes it. width and height as the client gave them (wide
// enough for any value a client's structure holds); topDown applies to RGB only; interval 0 is
// taken when anyRate, else refused.
std::optional<Choice> CheckChoice(picture::SampleFormat format, std::int64_t width,
                                  std::int64_t height, bool topDown, std::int64_t interval,
                                  bool anyRate = false);

}  // namespace orvanecam::camera
