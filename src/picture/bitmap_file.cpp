// The project's own BMP decoder, on every platform: every field is checked against the file
// before it is used. (The system loader of the Windows build's test platform read past the end of
// damaged files and returned empty pictures for top-down 32-bit ones.)
#include "picture/bitmap_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace orvanecam::picture {
namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kInfoHeaderBytes = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kV4HeaderBytes = 108;
constexpr std::uint32_t kV5HeaderBytes = 124;
constexpr std::uint32_t kUncompressed = 0;  // BI_RGB
constexpr std::uint32_t kBitFields = 3;     // BI_BITFIELDS
constexpr std::int64_t kMaxSide = 32768;    // far beyond any picture the camera shows

std::uint32_t U32(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 |
           static_cast<std::uint32_t>(data[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | data[at + 1] << 8);
}

// 32-bit bit fields are accepted only when they say plain B, G, R bytes.
bool HasStandardMasks(const std::vector<std::uint8_t>& data, std::size_t masksAt) {
    return masksAt + 12 <= data.size() && U32(data, masksAt) == 0x00FF0000u &&
           U32(data, masksAt + 4) == 0x0000FF00u && U32(data, masksAt + 8) == 0x000000FFu;
}

}  // namespace

std::optional<BitmapPixels> LoadBitmapFile(const std::string& path) {
    const std::filesystem::path filePath(
        std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
    std::ifstream file(filePath, std::ios::binary);
    if (!file) return std::nullopt;
    const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)),
                                         std::istreambuf_iterator<char>());
    if (data.size() < kFileHeaderBytes + kInfoHeaderBytes || data[0] != 'B' || data[1] != 'M') {
        return std::nullopt;
    }
    const std::uint32_t pixelsAt = U32(data, 10);
    const std::uint32_t headerBytes = U32(data, 14);
    if (headerBytes != kInfoHeaderBytes && headerBytes != kV4HeaderBytes &&
        headerBytes != kV5HeaderBytes) {
        return std::nullopt;
    }
    const auto width = static_cast<std::int32_t>(U32(data, 18));
    const auto height = static_cast<std::int32_t>(U32(data, 22));
    const std::uint16_t planes = U16(data, 26);
    const std::uint16_t bitsPerPixel = U16(data, 28);
    const std::uint32_t compression = U32(data, 30);
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if (width <= 0 || width > kMaxSide || rows == 0 || rows > kMaxSide || planes != 1 ||
        (bitsPerPixel != 24 && bitsPerPixel != 32)) {
        return std::nullopt;
    }
    if (compression == kBitFields) {
        // The masks follow a plain info header, or sit inside the larger ones at the same place.
        if (bitsPerPixel != 32 || !HasStandardMasks(data, kFileHeaderBytes + kInfoHeaderBytes)) {
            return std::nullopt;
        }
    } else if (compression != kUncompressed) {
        return std::nullopt;
    }
    const std::int64_t stride = (static_cast<std::int64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::int64_t pixelBytes = stride * rows;
    if (pixelsAt < kFileHeaderBytes + headerBytes ||
        static_cast<std::int64_t>(pixelsAt) + pixelBytes > static_cast<std::int64_t>(data.size())) {
        return std::nullopt;
    }
    BitmapPixels pixels{width, height, static_cast<std::int32_t>(stride), bitsPerPixel, {}};
    pixels.bits.assign(data.begin() + pixelsAt, data.begin() + pixelsAt + pixelBytes);
    return pixels;
}

}  // namespace orvanecam::picture
