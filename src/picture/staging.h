#pragma once
// Producer side: turns a submitted frame into NV12 at the output size (stretched, not fitted).
#include <cstdint>

#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

// The producer's process-wide buffers; callers hold the process-wide mutex.
struct StagingBuffers {
    ScratchBuffer stagingFrame;  // NV12 at the target size: the result
    ScratchBuffer packedPlanes;  // I420 of a packed (YUY2, BGRA, BGR) frame at its own size
    ScratchBuffer scaledPlanes;  // that I420 scaled to the target size
};

// Each succeeds with stagingFrame holding NV12 at the target size with both sides made even.
// They fail for a null source, a source side that is odd or outside 1..4096, a target side
// outside 1..4096 or 0 once made even, a stride too small, or a failed conversion.
// Whether WriteNv12Frame can write this frame: the checks of StageNv12Frame.
bool CanWriteNv12Frame(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::int32_t targetWidth, std::int32_t targetHeight);
// Writes an NV12 frame (stride bytes a row) as tight NV12 at the even target size into
// destination: a plain copy at the same size, else a bilinear scale. False when it cannot.
bool WriteNv12Frame(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                    std::int32_t stride, std::int32_t targetWidth, std::int32_t targetHeight,
                    std::uint8_t* destination);
// Scales a tight NV12 picture to another size (bilinear); false for unusable sizes.
bool ScaleNv12(const std::uint8_t* source, std::int32_t width, std::int32_t height,
               std::uint8_t* destination, std::int32_t targetWidth, std::int32_t targetHeight);

bool StageNv12Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight);
bool StageYuy2Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight);
// BGRA (4 bytes a pixel, alpha ignored) and BGR (3 bytes) frames, BT.601 limited range; a
// negative height is a bottom-up frame.
bool StageBgraFrame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight);
bool StageBgr24Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                     std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                     std::int32_t targetHeight);

}  // namespace orvanecam::picture
