#pragma once
// The picture geometry (from geometry/) as the picture code uses it, I420 planes, and video
// black.
#include <cstddef>
#include <cstdint>

#include "geometry/picture_geometry.h"

namespace orvanecam::picture {

using geometry::IsSideInRange;
using geometry::IsValidPictureSize;
using geometry::LumaBytes;
using geometry::Yuv420Bytes;
using geometry::Yuy2Bytes;

inline constexpr std::uint8_t kBlackLuma = 16;
inline constexpr std::uint8_t kBlackChroma = 128;

// The three planes of a tight I420 picture in one buffer.
struct I420Planes {
    std::uint8_t* y;
    std::uint8_t* u;
    std::uint8_t* v;
    std::int32_t lumaStride;
    std::int32_t chromaStride;
};

inline I420Planes I420PlanesOf(std::uint8_t* picture, std::int32_t width, std::int32_t height) {
    std::uint8_t* u = picture + LumaBytes(width, height);
    return {picture, u, u + LumaBytes(width / 2, height / 2), width, width / 2};
}

}  // namespace orvanecam::picture
