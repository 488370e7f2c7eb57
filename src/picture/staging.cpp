#include "picture/staging.h"

#include <libyuv.h>

#include <cstring>
#include <optional>

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

bool WriteNv12Frame(const std::uint8_t* source, std::int32_t width, std::int32_t height,
                    std::int32_t stride, std::int32_t targetWidth, std::int32_t targetHeight,
                    std::uint8_t* destination) {
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
    return libyuv::NV12Scale(source, stride, sourceChroma, stride, width, height, destination, tw,
                             destinationChroma, tw, tw, th, libyuv::kFilterBilinear) == 0;
}

bool ScaleNv12(const std::uint8_t* source, std::int32_t width, std::int32_t height,
               std::uint8_t* destination, std::int32_t targetWidth, std::int32_t targetHeight) {
    return WriteNv12Frame(source, width, height, width, targetWidth, targetHeight, destination);
}

bool StageNv12Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight) {
    if (!CanWriteNv12Frame(source, width, height, stride, targetWidth, targetHeight)) return false;
    std::uint8_t* staged =
        buffers.stagingFrame.Reserve(Yuv420Bytes(targetWidth & ~1, targetHeight & ~1));
    return WriteNv12Frame(source, width, height, stride, targetWidth, targetHeight, staged);
}

namespace {

using ToI420 = int (*)(const std::uint8_t*, int, std::uint8_t*, int, std::uint8_t*, int,
                       std::uint8_t*, int, int, int);
using ToNv12 = int (*)(const std::uint8_t*, int, std::uint8_t*, int, std::uint8_t*, int, int, int);

// How a packed format converts: to I420 always; straight to NV12 where libyuv offers it.
struct PackedFormat {
    std::int32_t bytesPerPixel;
    ToI420 toI420;
    ToNv12 toNv12 = nullptr;
};

// A packed frame: at the output size straight into the staging frame when the format allows,
// else converted to I420 at its own size, scaled, then interleaved into the staging frame. A
// negative height is a bottom-up frame, which the conversion turns upright.
bool StagePackedFrame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                      std::int32_t height, std::int32_t stride, const PackedFormat& format,
                      std::int32_t targetWidth, std::int32_t targetHeight) {
    const std::int32_t rows = height < 0 ? -height : height;
    const auto target = CheckedTarget(source, width, rows, targetWidth, targetHeight);
    if (!target || stride < format.bytesPerPixel * width) return false;
    const auto [tw, th] = *target;
    if (format.toNv12 != nullptr && width == tw && rows == th) {
        std::uint8_t* staged = buffers.stagingFrame.Reserve(Yuv420Bytes(tw, th));
        return format.toNv12(source, stride, staged, tw, staged + LumaBytes(tw, th), tw, width,
                             height) == 0;
    }
    I420Planes planes =
        I420PlanesOf(buffers.packedPlanes.Reserve(Yuv420Bytes(width, rows)), width, rows);
    if (format.toI420(source, stride, planes.y, planes.lumaStride, planes.u, planes.chromaStride,
                      planes.v, planes.chromaStride, width, height) != 0) {
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
    std::uint8_t* staged = buffers.stagingFrame.Reserve(Yuv420Bytes(tw, th));
    return libyuv::I420ToNV12(planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                              planes.chromaStride, staged, tw, staged + LumaBytes(tw, th), tw, tw,
                              th) == 0;
}

}  // namespace

bool StageYuy2Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight) {
    // YUY2 frames are top-down only.
    return height > 0 && StagePackedFrame(buffers, source, width, height, stride,
                                          {2, libyuv::YUY2ToI420}, targetWidth, targetHeight);
}

bool StageBgraFrame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                    std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                    std::int32_t targetHeight) {
    // libyuv's "ARGB" is B, G, R, A in memory.
    return StagePackedFrame(buffers, source, width, height, stride,
                            {4, libyuv::ARGBToI420, libyuv::ARGBToNV12}, targetWidth, targetHeight);
}

bool StageBgr24Frame(StagingBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                     std::int32_t height, std::int32_t stride, std::int32_t targetWidth,
                     std::int32_t targetHeight) {
    // libyuv's "RGB24" is B, G, R in memory.
    return StagePackedFrame(buffers, source, width, height, stride, {3, libyuv::RGB24ToI420},
                            targetWidth, targetHeight);
}

}  // namespace orvanecam::picture
