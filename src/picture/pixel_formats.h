#pragma once
// Sizes of the tightly packed pixel formats, and video black.
#include <cstddef>
#include <cstdint>

namespace orvanecam::picture {

inline constexpr std::int32_t kMaxDimension = 4096;
inline constexpr std::uint8_t kBlackLuma = 16;
inline constexpr std::uint8_t kBlackChroma = 128;

// Every picture inside the system: even, 2..4096 on each side.
inline constexpr bool IsValidPictureSize(std::int32_t width, std::int32_t height) {
    return width >= 2 && width <= kMaxDimension && height >= 2 && height <= kMaxDimension &&
           width % 2 == 0 && height % 2 == 0;
}

inline constexpr std::size_t LumaBytes(std::int32_t width, std::int32_t height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}
// NV12 and I420 hold the same number of bytes.
inline constexpr std::size_t Yuv420Bytes(std::int32_t width, std::int32_t height) {
    return LumaBytes(width, height) * 3 / 2;
}
inline constexpr std::size_t Yuy2Bytes(std::int32_t width, std::int32_t height) {
    return LumaBytes(width, height) * 2;
}

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
