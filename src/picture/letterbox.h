#pragma once
// Fits an NV12 picture into another size with its aspect ratio kept and black bars around it.
#include <cstdint>

#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

struct FitRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

// Where a sourceWidth x sourceHeight picture lands in the destination: centred, even, and
// empty (width or height 0) when the fit leaves less than one pixel pair.
FitRect FitInside(std::int32_t sourceWidth, std::int32_t sourceHeight,
                  std::int32_t destinationWidth, std::int32_t destinationHeight);

// Fills a tight NV12 picture with video black.
void FillBlackNv12(std::uint8_t* picture, std::int32_t width, std::int32_t height);

// Fills destination (tight NV12, destinationWidth x destinationHeight) with black and scales the
// tight NV12 source into the fitted rectangle, working in scratch. Does nothing for a null
// pointer or a size <= 0.
void LetterboxNv12(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   std::uint8_t* destination, std::int32_t destinationWidth,
                   std::int32_t destinationHeight, ScratchBuffer& scratch);

}  // namespace orvanecam::picture
