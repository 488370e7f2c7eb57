#include "tools/exchange_demo/moving_pattern.h"

#include <algorithm>

namespace orvanecam::tools {

MovingPattern::MovingPattern(exchange::FrameSize size)
    : m_size(size), m_frame(exchange::Nv12Bytes(size)) {}

const std::vector<std::uint8_t>& MovingPattern::Render(int n) {
    const int width = m_size.width;
    const int height = m_size.height;
    const int barWidth = std::max(2, width / 16);
    const int barLeft = (n * 8) % std::max(1, width);
    std::uint8_t* luma = m_frame.data();
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = luma + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const bool inBar = x >= barLeft && x < barLeft + barWidth;
            row[x] = static_cast<std::uint8_t>(inBar ? 235 : 16 + (x + y + n) % 200);
        }
    }
    std::uint8_t* chroma = luma + static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (int y = 0; y < height / 2; ++y) {
        std::uint8_t* row = chroma + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const int band = (y * 6 / std::max(1, height / 2) + n / 30) % 6;
        for (int x = 0; x < width; x += 2) {
            row[x] = static_cast<std::uint8_t>(64 + band * 24);       // U
            row[x + 1] = static_cast<std::uint8_t>(224 - band * 24);  // V
        }
    }
    return m_frame;
}

}  // namespace orvanecam::tools
