#include "picture/bitmap_loader.h"

#include <libyuv.h>

#include <algorithm>
#include <cctype>

#include "picture/bitmap_file.h"
#include "picture/pixel_formats.h"

namespace orvanecam::picture {
namespace {

// The text from the last dot of the last path component, or empty when there is none.
std::string Extension(const std::string& path) {
    const auto nameStart = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart)) return {};
    return path.substr(dot);
}

bool IsBmpExtension(const std::string& extension) {
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower == ".bmp";
}

// Tight, top-down B G R rows of the even-sized part of the bitmap.
std::vector<std::uint8_t> TopDownBgr(const BitmapPixels& pixels, std::int32_t width,
                                     std::int32_t height) {
    const std::int32_t storedRows = pixels.height < 0 ? -pixels.height : pixels.height;
    const std::size_t bytesPerPixel = static_cast<std::size_t>(pixels.bitsPerPixel / 8);
    std::vector<std::uint8_t> bgr(LumaBytes(width, height) * 3);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t sourceRow = pixels.height > 0 ? storedRows - 1 - y : y;
        const std::uint8_t* in = pixels.bits.data() + static_cast<std::size_t>(sourceRow) *
                                                          static_cast<std::size_t>(pixels.stride);
        std::uint8_t* out = bgr.data() + LumaBytes(width, y) * 3;
        for (std::int32_t x = 0; x < width; ++x) {
            std::copy_n(in + static_cast<std::size_t>(x) * bytesPerPixel, 3, out + x * 3);
        }
    }
    return bgr;
}

}  // namespace

bool LoadBitmapAsNv12(const std::string& path, std::vector<std::uint8_t>& nv12, std::int32_t& width,
                      std::int32_t& height) {
    nv12.clear();
    width = height = 0;
    if (!IsBmpExtension(Extension(path))) return false;
    const auto pixels = LoadBitmapFile(path);
    if (!pixels) return false;
    const std::int32_t w = pixels->width & ~1;
    const std::int32_t h = (pixels->height < 0 ? -pixels->height : pixels->height) & ~1;
    if (!IsSideInRange(w) || !IsSideInRange(h)) return false;
    // The stored rows must hold what is read from them, whoever decoded the file.
    const std::size_t rowBytes =
        static_cast<std::size_t>(w) * static_cast<std::size_t>(pixels->bitsPerPixel / 8);
    const std::size_t storedRows = static_cast<std::size_t>(
        pixels->height < 0 ? -static_cast<std::int64_t>(pixels->height) : pixels->height);
    if (pixels->stride < 0 || static_cast<std::size_t>(pixels->stride) < rowBytes ||
        pixels->bits.size() < static_cast<std::size_t>(pixels->stride) * storedRows) {
        return false;
    }

    const std::vector<std::uint8_t> bgr = TopDownBgr(*pixels, w, h);
    std::vector<std::uint8_t> i420(Yuv420Bytes(w, h));
    const I420Planes planes = I420PlanesOf(i420.data(), w, h);
    if (libyuv::RGB24ToI420(bgr.data(), w * 3, planes.y, planes.lumaStride, planes.u,
                            planes.chromaStride, planes.v, planes.chromaStride, w, h) != 0) {
        return false;
    }
    nv12.resize(Yuv420Bytes(w, h));
    if (libyuv::I420ToNV12(planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                           planes.chromaStride, nv12.data(), w, nv12.data() + LumaBytes(w, h), w, w,
                           h) != 0) {
        nv12.clear();
        return false;
    }
    width = w;
    height = h;
    return true;
}

}  // namespace orvanecam::picture
