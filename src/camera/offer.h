#pragma once
// What the camera offers, as plain values built from the producer's output settings: the
// producer's own size first, then the sizes clients commonly ask for, at the producer's rate, in
// the two YUV formats (the preferred one first). Each front end translates it into its own types.
#include <array>
#include <vector>

#include "camera/choice.h"
#include "exchange/reader.h"

namespace orvanecam::camera {

class Offer {
  public:
    static constexpr int kMaxSizes = 5;

    // settings as read from the block: an invalid size falls back to the default, the rate is
    // clamped to 1..120 fps, and any format order other than 0 means NV12 first.
    explicit Offer(const exchange::OutputSettings& settings);

    int SizeCount() const { return m_sizeCount; }
    const exchange::FrameSize& Size(int index) const {
        return m_sizes[static_cast<std::size_t>(index)];
    }
    std::int32_t FramesPerSecond() const { return m_fps; }
    std::int64_t Interval() const { return platform::kUnitsPerSecond / m_fps; }
    // The two YUV formats in the order they are offered, the preferred first.
    std::array<picture::SampleFormat, 2> YuvFormats() const;
    // Every size in the preferred YUV format, then in the other, at the offered rate.
    std::vector<Choice> YuvChoices() const;
    // Every size in format, at the offered rate.
    std::vector<Choice> ChoicesIn(picture::SampleFormat format) const;

  private:
    std::array<exchange::FrameSize, kMaxSizes> m_sizes{};
    int m_sizeCount = 0;
    bool m_nv12First = true;
    std::int32_t m_fps = exchange::kDefaultFps;
};

// The offer of the block's current output settings (the defaults without a block). Reading only:
// bad values are taken as their defaults, and the block is left as it is.
Offer ReadOffer(exchange::FrameReader& reader);

}  // namespace orvanecam::camera
