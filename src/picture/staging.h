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

// The packed layouts a producer may send: YUY2 (Y0 U Y1 V, top-down only), BGRA (4 bytes a
// pixel, alpha ignored) and BGR (3 bytes); the RGB ones in BT.601 limited range, and bottom-up
// when their height is negative.
enum class PackedFormat { kYuy2, kBgra, kBgr24 };

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
