#include "picture/staging.h"

#include <libyuv.h>

#include <cstring>
#include <optional>

#include "picture/nv12_scale.h"
#include "picture/pixel_formats.h"

namespace orvanecam::picture {
namespace {

struct Size {
    std::int32_t width;
    std::int32_t height;
};

// The checks both submissions share; returns the even target size.
std::optional<Size> CheckedTarget(const std::uint8_t* source, std::int32_t width,
                                  std::int32_t height, std::int32_t targetWidth,
                                  std::int32_t targetHeight) {
    if (source == nullptr || !IsSideInRange(width) || !IsSideInRange(height) || width % 2 != 0 ||
        height % 2 != 0 || !IsSideInRange(targetWidth) || !IsSideInRange(targetHeight)) {
        return std::nullopt;
    }
    const Size target{targetWidth & ~1, targetHeight & ~1};
    if (target.width == 0 || target.height == 0) return std::nullopt;
    return target;
}

void CopyRows(const std::uint8_t* source, std::int32_t sourceStride, std::uint8_t* destination,
              std::int32_t destinationStride, std::int32_t rowBytes, std::int32_t rows) {
    if (sourceStride == rowBytes && destinationStride == rowBytes) {
        std::memcpy(destination, source, LumaBytes(rowBytes, rows));
        return;
    }
    for (std::int32_t row = 0; row < rows; ++row) {
        std::memcpy(destination, source, static_cast<std::size_t>(rowBytes));
        source += sourceStride;
        destination += destinationStride;
    }
}

}  // namespace

bool CanWriteNv12Frame(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                       std::int32_t stride, std::int32_t targetWidth, std::int32_t targetHeight) {
    return CheckedTarget(source, width, height, targetWidth, targetHeight).has_value() &&
           stride >= width;
}

bool WriteNv12Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight, std::uint8_t* destination) {
    if (!CanWriteNv12Frame(source, width, height, stride, targetWidth, targetHeight)) return false;
    const std::int32_t tw = targetWidth & ~1;
    const std::int32_t th = targetHeight & ~1;
    std::uint8_t* destinationChroma = destination + LumaBytes(tw, th);
    const std::uint8_t* sourceChroma = source + LumaBytes(stride, height);
    if (width == tw && height == th) {
        CopyRows(source, stride, destination, tw, width, height);
        CopyRows(sourceChroma, stride, destinationChroma, tw, width, height / 2);
        return true;
    }
    ScaleNv12Planes({source, stride, sourceChroma, stride, width, height},
                    {destination, tw, destinationChroma, tw, tw, th}, buffers.chromaPlanes);
    return true;
}

bool ScaleNv12(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
               std::int32_t height, std::uint8_t* destination, std::int32_t targetWidth,
               std::int32_t targetHeight) {
    return WriteNv12Frame(buffers, source, width, height, width, targetWidth, targetHeight,
                          destination);
}

namespace {

using ToI420 = int (*)(const std::uint8_t*, int, std::uint8_t*, int, std::uint8_t*, int,
                       std::uint8_t*, int, int, int);
using ToNv12 = int (*)(const std::uint8_t*, int, std::uint8_t*, int, std::uint8_t*, int, int, int);

// I420 frames as one pointer and stride: the chroma planes follow the luma at half the stride.
int I420FrameToI420(const std::uint8_t* source, int stride, std::uint8_t* y, int yStride,
                    std::uint8_t* u, int uStride, std::uint8_t* v, int vStride, int width,
                    int height) {
    const std::uint8_t* sourceU = source + LumaBytes(stride, height);
    const std::uint8_t* sourceV = sourceU + LumaBytes(stride / 2, height / 2);
    return libyuv::I420Copy(source, stride, sourceU, stride / 2, sourceV, stride / 2, y, yStride, u,
                            uStride, v, vStride, width, height);
}
int I420FrameToNv12(const std::uint8_t* source, int stride, std::uint8_t* y, int yStride,
                    std::uint8_t* uv, int uvStride, int width, int height) {
    const std::uint8_t* sourceU = source + LumaBytes(stride, height);
    const std::uint8_t* sourceV = sourceU + LumaBytes(stride / 2, height / 2);
    return libyuv::I420ToNV12(source, stride, sourceU, stride / 2, sourceV, stride / 2, y, yStride,
                              uv, uvStride, width, height);
}

// Full-range grey to limited-range luma (16 + grey x 219 / 255, rounded), and neutral chroma.
// In 8.8 fixed point within 16 bits, in runs of 16 pixels through local copies, which the
// compiler turns into vector instructions (a loop over the frame's own rows it leaves scalar).
std::uint8_t LumaOfGrey(std::uint8_t grey) {
    constexpr std::uint16_t kScale = 220;  // 219 / 255 in 1/256, rounded
    constexpr std::uint16_t kOffset = (16u << 8) + (1u << 7);
    return static_cast<std::uint8_t>(static_cast<std::uint16_t>(grey * kScale + kOffset) >> 8);
}

void GreyToLuma(const std::uint8_t* source, int stride, std::uint8_t* y, int yStride, int width,
                int height) {
    constexpr int kRun = 16;
    for (int row = 0; row < height; ++row) {
        int x = 0;
        for (; x + kRun <= width; x += kRun) {
            std::uint8_t run[kRun];
            std::memcpy(run, source + x, kRun);
            for (std::uint8_t& pixel : run) pixel = LumaOfGrey(pixel);
            std::memcpy(y + x, run, kRun);
        }
        for (; x < width; ++x) y[x] = LumaOfGrey(source[x]);
        source += stride;
        y += yStride;
    }
}
int GreyToI420(const std::uint8_t* source, int stride, std::uint8_t* y, int yStride,
               std::uint8_t* u, int uStride, std::uint8_t* v, int vStride, int width, int height) {
    GreyToLuma(source, stride, y, yStride, width, height);
    libyuv::SetPlane(u, uStride, width / 2, height / 2, 128);
    libyuv::SetPlane(v, vStride, width / 2, height / 2, 128);
    return 0;
}
int GreyToNv12(const std::uint8_t* source, int stride, std::uint8_t* y, int yStride,
               std::uint8_t* uv, int uvStride, int width, int height) {
    GreyToLuma(source, stride, y, yStride, width, height);
    libyuv::SetPlane(uv, uvStride, width, height / 2, 128);
    return 0;
}

// How a format converts: to I420 always; straight to NV12 where there is a one-pass kernel. The
// library's "ARGB" is B, G, R, A in memory, its "ABGR" R, G, B, A, its "RGB24" B, G, R and its
// "RAW" R, G, B.
struct PackedConversion {
    std::int32_t bytesPerPixel;  // of the first plane
    bool bottomUpAllowed;
    ToI420 toI420;
    ToNv12 toNv12;
    bool evenStride = false;  // the chroma planes' stride is half of it
};

PackedConversion ConversionOf(PackedFormat format) {
    switch (format) {
        case PackedFormat::kYuy2:
            return {2, false, libyuv::YUY2ToI420, libyuv::YUY2ToNV12};
        case PackedFormat::kUyvy:
            return {2, false, libyuv::UYVYToI420, libyuv::UYVYToNV12};
        case PackedFormat::kBgra:
            return {4, true, libyuv::ARGBToI420, libyuv::ARGBToNV12};
        case PackedFormat::kRgba:
            return {4, true, libyuv::ABGRToI420, libyuv::ABGRToNV12};
        case PackedFormat::kRgb24:
            return {3, true, libyuv::RAWToI420, nullptr};
        case PackedFormat::kI420:
            return {1, false, I420FrameToI420, I420FrameToNv12, true};
        case PackedFormat::kGray8:
            return {1, false, GreyToI420, GreyToNv12};
        case PackedFormat::kBgr24:
            break;
    }
    return {3, true, libyuv::RGB24ToI420, nullptr};
}

}  // namespace

bool AcceptsBottomUp(PackedFormat format) {
    return ConversionOf(format).bottomUpAllowed;
}

bool CanWritePackedFrame(PackedFormat format, const std::uint8_t* source, std::int32_t width,
                         std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                         std::int32_t targetHeight) {
    const PackedConversion conversion = ConversionOf(format);
    if (height < 0 && !conversion.bottomUpAllowed) return false;
    const std::int32_t rows = height < 0 ? -height : height;
    return CheckedTarget(source, width, rows, targetWidth, targetHeight).has_value() &&
           stride >= conversion.bytesPerPixel * width &&
           (!conversion.evenStride || stride % 2 == 0);
}

bool WritePackedFrame(StagingBuffers& buffers, PackedFormat format, const std::uint8_t* source,
                      std::int32_t width, std::int32_t height, std::int32_t stride,
                      std::int32_t targetWidth, std::int32_t targetHeight,
                      std::uint8_t* destination) {
    if (!CanWritePackedFrame(format, source, width, height, stride, targetWidth, targetHeight)) {
        return false;
    }
    const PackedConversion conversion = ConversionOf(format);
    // A negative height is a bottom-up frame, which the conversion turns upright.
    const std::int32_t rows = height < 0 ? -height : height;
    const std::int32_t tw = targetWidth & ~1;
    const std::int32_t th = targetHeight & ~1;
    std::uint8_t* destinationChroma = destination + LumaBytes(tw, th);
    if (conversion.toNv12 != nullptr && width == tw && rows == th) {
        return conversion.toNv12(source, stride, destination, tw, destinationChroma, tw, width,
                                 height) == 0;
    }
    I420Planes planes =
        I420PlanesOf(buffers.packedPlanes.Reserve(Yuv420Bytes(width, rows)), width, rows);
    if (conversion.toI420(source, stride, planes.y, planes.lumaStride, planes.u,
                          planes.chromaStride, planes.v, planes.chromaStride, width, height) != 0) {
        return false;
    }
    if (width != tw || rows != th) {
        const I420Planes scaled =
            I420PlanesOf(buffers.scaledPlanes.Reserve(Yuv420Bytes(tw, th)), tw, th);
        if (libyuv::I420Scale(planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                              planes.chromaStride, width, rows, scaled.y, scaled.lumaStride,
                              scaled.u, scaled.chromaStride, scaled.v, scaled.chromaStride, tw, th,
                              libyuv::kFilterBilinear) != 0) {
            return false;
        }
        planes = scaled;
    }
    return libyuv::I420ToNV12(planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                              planes.chromaStride, destination, tw, destinationChroma, tw, tw,
                              th) == 0;
}

}  // namespace orvanecam::picture
