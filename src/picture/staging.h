#pragma once
// Producer side: writes a submitted frame as NV12 at the output size (stretched, not fitted)
// straight into the frame it is published in.
#include <cstdint>

#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

// The producer's process-wide work buffers for packed frames; callers hold the process-wide
// mutex.
struct StagingBuffers {
    ScratchBuffer packedPlanes;  // I420 of a packed (YUY2, BGRA, BGR) frame at its own size
    ScratchBuffer scaledPlanes;  // that I420 scaled to the target size
    ScratchBuffer chromaPlanes;  // an NV12 frame's chroma while it is scaled
};

// The layouts a producer may send besides NV12, each a single source pointer and stride:
// - YUY2 (Y0 U Y1 V) and UYVY (U Y0 V Y1), top-down only;
// - BGRA and RGBA (4 bytes a pixel in that order, alpha ignored), BGR24 and RGB24 (3 bytes):
//   BT.601 limited range, bottom-up when their height is negative;
// - I420: the Y rows stride bytes apart, then the U rows and the V rows stride / 2 apart (an
//   even stride), top-down only;
// - GRAY8: one byte of full-range grey a pixel (0 black, 255 white), shown as limited-range
//   luma without colour, top-down only.
enum class PackedFormat { kYuy2, kBgra, kBgr24, kRgb24, kRgba, kI420, kUyvy, kGray8 };

// The Can... checks refuse a null source, a source side that is odd or outside 1..4096, a target
// side outside 1..4096 or 0 once made even, and a stride too small. Each Write... writes tight
// NV12 at the even target size into destination; false when it cannot.
bool CanWriteNv12Frame(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::int32_t targetWidth, std::int32_t targetHeight);
// An NV12 frame (stride bytes a row in both planes): a plain copy at the same size, else a
// bilinear scale.
bool WriteNv12Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight, std::uint8_t* destination);
// Scales a tight NV12 picture to another size (bilinear); false for unusable sizes.
bool ScaleNv12(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
               std::int32_t height, std::uint8_t* destination, std::int32_t targetWidth,
               std::int32_t targetHeight);

// Whether a negative height (a bottom-up frame) is taken: the RGB formats only.
bool AcceptsBottomUp(PackedFormat format);

bool CanWritePackedFrame(PackedFormat format, const std::uint8_t* source, std::int32_t width,
                         std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                         std::int32_t targetHeight);
// In one pass where the library converts the format straight to NV12 at the same size; else
// through I420 (scaled to the target size when it differs) in buffers.
bool WritePackedFrame(StagingBuffers& buffers, PackedFormat format, const std::uint8_t* source,
                      std::int32_t width, std::int32_t height, std::int32_t stride,
                      std::int32_t targetWidth, std::int32_t targetHeight,
                      std::uint8_t* destination);

}  // namespace orvanecam::picture
