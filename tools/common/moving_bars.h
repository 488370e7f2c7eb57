#pragma once
// The producer tool's test picture: eight colour bars sliding sideways a few pixels a frame, so
// that both the colours and the motion show in a capture.
#include <cstdint>
#include <vector>

#include "common/command_line.h"

namespace orvanecam::tools {

class MovingBars {
  public:
    explicit MovingBars(PictureSize size);
    // The NV12 picture (stride = width) for frame n; the buffer is reused for every frame.
    const std::vector<std::uint8_t>& Render(int n);

  private:
    PictureSize m_size;
    std::vector<std::uint8_t> m_frame;
};

}  // namespace orvanecam::tools
