#pragma once
// The picture geometry every layer shares: the largest side, which sizes the system accepts, and
// the bytes each sample format takes. Counts are 64-bit so that a hostile size from a client
// (up to 2^31 x 2^31) can be measured before it is refused.
#include <cstddef>
#include <cstdint>

namespace orvanecam::geometry {

inline constexpr std::int32_t kMaxDimension = 4096;

// RGB samples are Windows DIBs: bytes B, G, R (and an unused fourth in RGB32), rows padded to
// four bytes. I420 and IYUV are one layout under two names (clients ask for either): the Y plane,
// then the U and the V plane at half the width and height.
enum class SampleFormat { kNv12, kYuy2, kRgb24, kRgb32, kI420, kIyuv };

// Whether format is the planar Y, U, V layout (either name).
inline constexpr bool IsI420Layout(SampleFormat format) {
    return format == SampleFormat::kI420 || format == SampleFormat::kIyuv;
}

// The format's name for diagnostics: "NV12", "YUY2", "RGB24", "RGB32", "I420", "IYUV".
inline constexpr const char* SampleFormatName(SampleFormat format) {
    switch (format) {
        case SampleFormat::kI420:
            return "I420";
        case SampleFormat::kIyuv:
            return "IYUV";
        case SampleFormat::kYuy2:
            return "YUY2";
        case SampleFormat::kRgb24:
            return "RGB24";
        case SampleFormat::kRgb32:
            return "RGB32";
        case SampleFormat::kNv12:
            break;
    }
    return "NV12";
}

// A side as callers may pass it: 1..4096 (odd sides are made even where they are taken in).
inline constexpr bool IsSideInRange(std::int64_t side) {
    return side >= 1 && side <= kMaxDimension;
}

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

inline constexpr std::int64_t RgbStride(std::int64_t width, SampleFormat format) {
    const std::int64_t bytesPerPixel = format == SampleFormat::kRgb32 ? 4 : 3;
    return (width * bytesPerPixel + 3) & ~std::int64_t{3};
}

// Bytes of one frame of width x height (both non-negative, below 2^31) in format.
inline constexpr std::int64_t FrameBytes(std::int64_t width, std::int64_t height,
                                         SampleFormat format) {
    const std::int64_t pixels = width * height;
    switch (format) {
        case SampleFormat::kYuy2:
            return pixels * 2;
        case SampleFormat::kRgb24:
        case SampleFormat::kRgb32: {
            // Saturates: a 2^31-wide RGB32 row times 2^31 rows passes 2^63.
            const std::int64_t stride = RgbStride(width, format);
            return stride != 0 && height > INT64_MAX / stride ? INT64_MAX : stride * height;
        }
        case SampleFormat::kNv12:
        case SampleFormat::kI420:
        case SampleFormat::kIyuv:
            break;
    }
    return pixels + pixels / 2;
}

}  // namespace orvanecam::geometry
