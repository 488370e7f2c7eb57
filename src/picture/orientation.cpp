#include "picture/orientation.h"

#include <libyuv.h>

#include <algorithm>
#include <cstring>

#include "picture/pixel_formats.h"

namespace orvanecam::picture {
namespace {

std::uint8_t* Current(OrientationWork& work) {
    return work.inA ? work.buffers.planesA.Data() : work.buffers.planesB.Data();
}

// The other buffer, sized for the picture; becomes current once written.
std::uint8_t* Next(OrientationWork& work) {
    ScratchBuffer& next = work.inA ? work.buffers.planesB : work.buffers.planesA;
    return next.Reserve(Yuv420Bytes(work.width, work.height));
}

void MirrorPlane(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                 std::int32_t height) {
    for (std::int32_t row = 0; row < height; ++row) {
        const std::uint8_t* sourceRow = source + LumaBytes(width, row);
        std::reverse_copy(sourceRow, sourceRow + width, destination + LumaBytes(width, row));
    }
}

void FlipPlane(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
               std::int32_t height) {
    for (std::int32_t row = 0; row < height; ++row) {
        std::memcpy(destination + LumaBytes(width, row),
                    source + LumaBytes(width, height - 1 - row), static_cast<std::size_t>(width));
    }
}

// Source (r, c) goes to destination (c, height - 1 - r); the destination is height wide. Works
// in tiles so that both sides stay in cache.
void RotatePlaneRight(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                      std::int32_t height) {
    constexpr std::int32_t kTile = 32;
    for (std::int32_t rowStart = 0; rowStart < height; rowStart += kTile) {
        const std::int32_t rowEnd = std::min(rowStart + kTile, height);
        for (std::int32_t columnStart = 0; columnStart < width; columnStart += kTile) {
            const std::int32_t columnEnd = std::min(columnStart + kTile, width);
            for (std::int32_t column = columnStart; column < columnEnd; ++column) {
                std::uint8_t* out = destination + LumaBytes(height, column) + (height - 1);
                for (std::int32_t row = rowStart; row < rowEnd; ++row) {
                    out[-row] = source[LumaBytes(width, row) + static_cast<std::size_t>(column)];
                }
            }
        }
    }
}

// Runs transformPlane on each of the three planes into the next buffer and makes it current.
template <class TransformPlane>
void TransformI420(OrientationWork& work, TransformPlane&& transformPlane) {
    std::uint8_t* source = Current(work);
    std::uint8_t* destination = Next(work);
    const std::size_t lumaBytes = LumaBytes(work.width, work.height);
    const std::size_t chromaBytes = LumaBytes(work.width / 2, work.height / 2);
    transformPlane(source, destination, work.width, work.height);
    transformPlane(source + lumaBytes, destination + lumaBytes, work.width / 2, work.height / 2);
    transformPlane(source + lumaBytes + chromaBytes, destination + lumaBytes + chromaBytes,
                   work.width / 2, work.height / 2);
    work.inA = !work.inA;
}

}  // namespace

void MirrorI420(OrientationWork& work) {
    TransformI420(work, MirrorPlane);
}

void FlipI420(OrientationWork& work) {
    TransformI420(work, FlipPlane);
}

void RotateI420Right(OrientationWork& work) {
    TransformI420(work, RotatePlaneRight);
    std::swap(work.width, work.height);
}

bool ApplyOrientation(OrientationBuffers& buffers, const std::uint8_t* source, std::int32_t width,
                      std::int32_t height, const Orientation& orientation,
                      OrientedPicture& result) {
    result = {source, width, height};
    if (source == nullptr || !IsValidPictureSize(width, height)) return false;
    if (orientation.IsIdentity()) return true;

    const I420Planes planes =
        I420PlanesOf(buffers.planesA.Reserve(Yuv420Bytes(width, height)), width, height);
    if (libyuv::NV12ToI420(source, width, source + LumaBytes(width, height), width, planes.y,
                           planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                           planes.chromaStride, width, height) != 0) {
        return false;
    }
    OrientationWork work{buffers, true, width, height};
    if (orientation.mirror) MirrorI420(work);
    if (orientation.flip) FlipI420(work);
    for (std::uint32_t turn = 0; turn < (orientation.rotation & 3u); ++turn) RotateI420Right(work);

    const I420Planes oriented = I420PlanesOf(Current(work), work.width, work.height);
    std::uint8_t* frame = buffers.orientedFrame.Reserve(Yuv420Bytes(work.width, work.height));
    if (libyuv::I420ToNV12(oriented.y, oriented.lumaStride, oriented.u, oriented.chromaStride,
                           oriented.v, oriented.chromaStride, frame, work.width,
                           frame + LumaBytes(work.width, work.height), work.width, work.width,
                           work.height) != 0) {
        return false;
    }
    result = {frame, work.width, work.height};
    return true;
}

}  // namespace orvanecam::picture
