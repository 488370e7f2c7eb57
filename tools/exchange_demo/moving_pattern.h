#pragma once
// A test picture that changes every frame: a bright bar sweeping across a luma ramp, with
// colour bands in the chroma plane.
#include <cstddef>
#include <vector>

#include "exchange/block_layout.h"

namespace orvanecam::tools {

class MovingPattern {
  public:
    explicit MovingPattern(exchange::FrameSize size);
    // The NV12 picture for frame n; the buffer is reused for every frame.
    const std::vector<std::uint8_t>& Render(int n);

  private:
    exchange::FrameSize m_size;
    std::vector<std::uint8_t> m_frame;
};

}  // namespace orvanecam::tools
