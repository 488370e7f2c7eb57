#pragma once
// Filter side: turns an NV12 picture into one media sample of the negotiated type, oriented,
// fitted with black bars, and in NV12, YUY2, RGB or I420.
#include <cstddef>
#include <cstdint>

#include "geometry/picture_geometry.h"
#include "picture/orientation.h"
#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

// RGB samples are bottom-up unless the client asked for top-down.
using geometry::SampleFormat;

// One stream's rendering buffers. Each stream owns its own, so streams of several filters in one
// process render side by side; after the first frames of a size nothing allocates.
struct RenderState {
    OrientationBuffers orientation;
    ScratchBuffer letterboxed;  // NV12 at the media size, for YUY2 output
    ScratchBuffer planes;       // its I420 form
    ScratchBuffer scaling;      // chroma planes while the picture is fitted
};

struct MediaFrame {
    std::int32_t width;
    std::int32_t height;
    SampleFormat format;
    bool topDown = false;  // RGB rows from the top (a negative biHeight); YUV always are

    bool operator==(const MediaFrame&) const = default;
};

bool IsRgb(SampleFormat format);
// Bytes of one row of an RGB sample: rounded up to four.
std::size_t RgbStride(const MediaFrame& media);
// Bytes of one row of a sample's first plane (NV12's luma, YUY2's pairs, RGB's padded rows).
std::size_t RowBytes(const MediaFrame& media);

// A sample size the camera renders: even width within 2..4096, height within 1..4096 and even
// for NV12 and RGB (YUY2 pairs pixels across a row only).
bool IsRenderableMedia(const MediaFrame& media);

// Bytes of one frame of the media type.
std::size_t FrameBytes(const MediaFrame& media);

// Writes video black over the frame bytes of media only.
void FillBlackFrame(std::uint8_t* sample, const MediaFrame& media);

// Renders the tight NV12 source (sourceWidth x sourceHeight) into sample, whose capacity is
// sampleSize; bytes past the frame are zeroed. A source that cannot be read safely renders as a
// black frame. A YUY2 frame of odd height shows the picture in the rows above its last, black,
// row. Nothing is written unless the media width is even within 2..4096, the height within
// 1..4096 (even for NV12), and the sample holds a whole frame.
void RenderToSample(RenderState& state, const std::uint8_t* source, std::int32_t sourceWidth,
                    std::int32_t sourceHeight, const Orientation& orientation, std::uint8_t* sample,
                    std::size_t sampleSize, const MediaFrame& media);

}  // namespace orvanecam::picture
