#pragma once
// Filter side: the producer's mirror, flip and rotation applied to an NV12 picture, in the
// fixed order mirror, flip, then clockwise quarter turns, at the picture's own size.
#include <cstdint>

#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

struct Orientation {
    bool mirror = false;
    bool flip = false;
    std::uint32_t rotation = 0;  // clockwise quarter turns; only the low two bits count

    bool IsIdentity() const { return !mirror && !flip && (rotation & 3u) == 0; }
};

// One stream's orientation buffers, reused from frame to frame.
struct OrientationBuffers {
    ScratchBuffer planesA;  // I420 work buffers the transforms write alternately
    ScratchBuffer planesB;
    ScratchBuffer orientedFrame;  // NV12 result
};

// The I420 picture being transformed: which buffer holds it and its current size.
struct OrientationWork {
    OrientationBuffers& buffers;
    bool inA;
    std::int32_t width;
    std::int32_t height;
};

// Each moves the picture into the other work buffer.
void MirrorI420(OrientationWork& work);
void FlipI420(OrientationWork& work);
void RotateI420Right(OrientationWork& work);  // width and height swap

struct OrientedPicture {
    const std::uint8_t* data;
    std::int32_t width;
    std::int32_t height;
};

// The NV12 source oriented; the source itself (nothing copied) when the orientation is the
// identity. Fails, leaving result as the source, for a null source or a size that is not even
// within 2..4096.
bool ApplyOrientation(OrientationBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                      std::int32_t height, const Orientation& orientation, OrientedPicture& result);

}  // namespace orvanecam::picture
