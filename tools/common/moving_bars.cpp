#include "common/moving_bars.h"

#include <algorithm>
#include <cstddef>

namespace orvanecam::tools {
namespace {

struct Yuv {
    std::uint8_t y, u, v;
};

// White, yellow, cyan, green, magenta, red, blue, black (BT.601, video range).
constexpr Yuv kBars[] = {{235, 128, 128}, {210, 16, 146}, {170, 166, 16}, {145, 54, 34},
                         {106, 202, 222}, {81, 90, 240},  {41, 240, 110}, {16, 128, 128}};
constexpr int kBarCount = 8;
constexpr int kStepPixels = 4;

}  // namespace

MovingBars::MovingBars(PictureSize size)
    : m_size(size),
      m_frame(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height) * 3 /
              2) {}

const std::vector<std::uint8_t>& MovingBars::Render(int n) {
    const auto width = static_cast<std::size_t>(m_size.width);
    const auto height = static_cast<std::size_t>(m_size.height);
    const std::size_t shift = static_cast<std::size_t>(n) * kStepPixels;
    // Work out one row of bar indices, then copy it down both planes.
    std::uint8_t* luma = m_frame.data();
    std::uint8_t* chroma = luma + width * height;
    for (std::size_t x = 0; x < width; ++x) {
        const Yuv& bar = kBars[((x + shift) % width) * kBarCount / width];
        luma[x] = bar.y;
        if (x % 2 == 0 && x + 1 < width) {
            chroma[x] = bar.u;
            chroma[x + 1] = bar.v;
        }
    }
    for (std::size_t y = 1; y < height; ++y) std::copy_n(luma, width, luma + y * width);
    for (std::size_t y = 1; y < height / 2; ++y) std::copy_n(chroma, width, chroma + y * width);
    return m_frame;
}

}  // namespace orvanecam::tools
