#pragma once
// Small NV12 pictures for pixel-exact tests (samples distinct within the first 256 of each plane,
// repeating after), with readers by coordinate.
#include <cstdint>
#include <vector>

#include "picture/pixel_formats.h"

namespace orvanecam::testing {

struct Nv12Picture {
    std::int32_t width;
    std::int32_t height;
    std::vector<std::uint8_t> bytes;

    std::uint8_t Y(std::int32_t x, std::int32_t y) const {
        return bytes[static_cast<std::size_t>(y * width + x)];
    }
    // Chroma at chroma coordinates (x in 0..width/2, y in 0..height/2).
    std::uint8_t U(std::int32_t x, std::int32_t y) const { return Chroma(x, y, 0); }
    std::uint8_t V(std::int32_t x, std::int32_t y) const { return Chroma(x, y, 1); }

  private:
    std::uint8_t Chroma(std::int32_t x, std::int32_t y, std::int32_t which) const {
        return bytes[picture::LumaBytes(width, height) +
                     static_cast<std::size_t>(y * width + 2 * x + which)];
    }
};

// Luma 0, 1, 2, ... row by row; U from 100 and V from 180 upwards likewise (modulo 256).
inline Nv12Picture DistinctPicture(std::int32_t width, std::int32_t height) {
    Nv12Picture picture{width, height,
                        std::vector<std::uint8_t>(picture::Yuv420Bytes(width, height))};
    const std::size_t luma = picture::LumaBytes(width, height);
    for (std::size_t i = 0; i < luma; ++i) picture.bytes[i] = static_cast<std::uint8_t>(i);
    for (std::size_t i = 0; i < luma / 4; ++i) {
        picture.bytes[luma + 2 * i] = static_cast<std::uint8_t>(100 + i);
        picture.bytes[luma + 2 * i + 1] = static_cast<std::uint8_t>(180 + i);
    }
    return picture;
}

inline Nv12Picture UniformPicture(std::int32_t width, std::int32_t height, std::uint8_t y,
                                  std::uint8_t u, std::uint8_t v) {
    Nv12Picture picture{width, height,
                        std::vector<std::uint8_t>(picture::Yuv420Bytes(width, height), y)};
    for (std::size_t i = picture::LumaBytes(width, height); i < picture.bytes.size(); i += 2) {
        picture.bytes[i] = u;
        picture.bytes[i + 1] = v;
    }
    return picture;
}

}  // namespace orvanecam::testing
