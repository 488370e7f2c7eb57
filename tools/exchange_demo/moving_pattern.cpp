#include "tools/exchange_demo/moving_pattern.h"

#include <algorithm>

namespace orvanecam::tools {

MovingPattern::MovingPattern(exchange::FrameSize size)
    : m_size(size), m_frame(exchange::Nv12Bytes(size)) {}

const std::vector<std::byte>& MovingPattern::Render(int n) {
    const int width = m_size.width;
    const int height = m_size.height;
    const int barWidth = std::max(2, width / 16);
    const int barLeft = (n * 8) % std::max(1, width);
    std::byte* luma = m_frame.data();
    for (int y = 0; y < height; ++y) {
        std::byte* row = luma + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        for (int x = 0; x < width; ++x) {
            const bool inBar = x >= barLeft && x < barLeft + barWidth;
            row[x] = static_cast<std::byte>(inBar ? 235 : 16 + (x + y + n) % 200);
        }
    }
    std::byte* chroma = luma + static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (int y = 0; y < height / 2; ++y) {
        std::byte* row = chroma + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
        const int band = (y * 6 / std::max(1, height / 2) + n / 30) % 6;
        for (int x = 0; x < width; x += 2) {
            row[x] = static_cast<std::byte>(64 + band * 24);       // U
            row[x + 1] = static_cast<std::byte>(224 - band * 24);  // V
        }
    }
    return m_frame;
}

}  // namespace orvanecam::tools
