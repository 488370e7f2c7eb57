#pragma once
// Where a live stream's pictures come from, as the sampler sees it: the producer's frames through
// the shared block, or a simulated producer in tests.
#include <cstddef>
#include <cstdint>

#include "picture/render.h"

namespace orvanecam::camera {

// Threads: as its sampler's delivering thread.
class FrameFeed {
  public:
    // At each start of streaming: a frame published before now counts as already shown.
    virtual void Restart() = 0;
    // Once per sample, before waiting: whether the producer's frames are shown (else vacant).
    virtual bool DecideLive() = 0;
    // A frame this stream has not shown yet is there.
    virtual bool HasNewFrame() const = 0;
    // Waits until a new frame is there (true) or the deadline of the sampler's clock passes.
    virtual bool WaitForNewFrame(std::int64_t deadline) = 0;
    // Renders into data (size bytes, at least one frame of media) as DecideLive chose.
    virtual void Render(std::uint8_t* data, std::size_t size, const picture::MediaFrame& media) = 0;
    // When streaming ends: gives up the stream's claim on the current frame.
    virtual void Release() = 0;

  protected:
    ~FrameFeed() = default;
};

}  // namespace orvanecam::camera
