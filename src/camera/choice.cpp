#include "camera/choice.h"

#include "geometry/picture_geometry.h"

namespace orvanecam::camera {

std::int64_t IntervalOfRate(std::uint64_t numerator, std::uint64_t denominator) {
    if (numerator == 0 || denominator == 0 || denominator > UINT32_MAX) return 0;
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(platform::kUnitsPerSecond) *
                                     denominator / numerator);
}

std::optional<Choice> CheckChoice(picture::SampleFormat format, std::int64_t width,
                                  std::int64_t height, bool topDown, std::int64_t interval,
                                  bool anyRate) {
    if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height)) return std::nullopt;
    const picture::MediaFrame media{static_cast<std::int32_t>(width),
                                    static_cast<std::int32_t>(height), format,
                                    topDown && picture::IsRgb(format)};
    if (!picture::IsRenderableMedia(media)) return std::nullopt;
    const bool rateInRange = interval >= kMinFrameInterval && interval <= kMaxFrameInterval;
    if (!rateInRange && !(anyRate && interval == 0)) return std::nullopt;
    return Choice{media, interval};
}

}  // namespace orvanecam::camera
