#pragma once
// Pixels of an uncompressed 24- or 32-bit bitmap file.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvanecam::picture {

struct BitmapPixels {
    std::int32_t width;
    std::int32_t height;  // positive: rows stored bottom-up; negative: top-down
    std::int32_t stride;  // bytes from one stored row to the next
    std::int32_t bitsPerPixel;
    std::vector<std::uint8_t> bits;  // stride x |height| bytes, B G R (x) per pixel
};

// Loads the bitmap file at path (UTF-8). Nothing for an unreadable file or a format other than
// 24- or 32-bit uncompressed (32-bit bit fields only with the standard masks).
std::optional<BitmapPixels> LoadBitmapFile(const std::string& path);

}  // namespace orvanecam::picture
