#include "picture/orientation.h"

#include <emmintrin.h>
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

// The 16 bytes of v in reverse order.
__m128i Reverse16(__m128i v) {
    v = _mm_shuffle_epi32(v, _MM_SHUFFLE(0, 1, 2, 3));
    v = _mm_shufflelo_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    v = _mm_shufflehi_epi16(v, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(v, 8), _mm_srli_epi16(v, 8));
}

void MirrorPlane(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                 std::int32_t height) {
    for (std::int32_t row = 0; row < height; ++row) {
        const std::uint8_t* in = source + LumaBytes(width, row);
        std::uint8_t* out = destination + LumaBytes(width, row);
        std::int32_t x = 0;
        for (; x + 16 <= width; x += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + width - 16 - x), Reverse16(block));
        }
        for (; x < width; ++x) out[width - 1 - x] = in[x];
    }
}

void FlipPlane(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
               std::int32_t height) {
    for (std::int32_t row = 0; row < height; ++row) {
        std::memcpy(destination + LumaBytes(width, row),
                    source + LumaBytes(width, height - 1 - row), static_cast<std::size_t>(width));
    }
}

// Turns one 8 x 8 block whose top-left source pixel is at source (stride width): the source
// rows, read bottom to top, become the destination rows (stride height), transposed.
void RotateBlock8Right(const std::uint8_t* source, std::int32_t width, std::uint8_t* destination,
                       std::int32_t height) {
    const auto row = [&](std::int32_t r) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(source + LumaBytes(width, 7 - r)));
    };
    const __m128i pairs0 = _mm_unpacklo_epi8(row(0), row(1));
    const __m128i pairs1 = _mm_unpacklo_epi8(row(2), row(3));
    const __m128i pairs2 = _mm_unpacklo_epi8(row(4), row(5));
    const __m128i pairs3 = _mm_unpacklo_epi8(row(6), row(7));
    const __m128i quads0 = _mm_unpacklo_epi16(pairs0, pairs1);  // columns 0..3, rows 0..3
    const __m128i quads1 = _mm_unpackhi_epi16(pairs0, pairs1);  // columns 4..7, rows 0..3
    const __m128i quads2 = _mm_unpacklo_epi16(pairs2, pairs3);
    const __m128i quads3 = _mm_unpackhi_epi16(pairs2, pairs3);
    const __m128i columns[4] = {
        _mm_unpacklo_epi32(quads0, quads2), _mm_unpackhi_epi32(quads0, quads2),
        _mm_unpacklo_epi32(quads1, quads3), _mm_unpackhi_epi32(quads1, quads3)};
    for (std::int32_t i = 0; i < 4; ++i) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + LumaBytes(height, 2 * i)),
                         columns[i]);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(destination + LumaBytes(height, 2 * i + 1)),
                         _mm_srli_si128(columns[i], 8));
    }
}

// Source (r, c) goes to destination (c, height - 1 - r); the destination is height wide. Whole
// 8 x 8 blocks are turned in registers, a tile at a time so both sides stay in cache; the
// edges that do not fill a block go pixel by pixel.
void RotatePlaneRight(const std::uint8_t* source, std::uint8_t* destination, std::int32_t width,
                      std::int32_t height) {
    constexpr std::int32_t kBlock = 8;
    constexpr std::int32_t kTile = 64;
    const std::int32_t blockRows = height - height % kBlock;
    const std::int32_t blockColumns = width - width % kBlock;
    for (std::int32_t tileRow = 0; tileRow < blockRows; tileRow += kTile) {
        for (std::int32_t tileColumn = 0; tileColumn < blockColumns; tileColumn += kTile) {
            const std::int32_t rowEnd = std::min(tileRow + kTile, blockRows);
            const std::int32_t columnEnd = std::min(tileColumn + kTile, blockColumns);
            for (std::int32_t r = tileRow; r < rowEnd; r += kBlock) {
                for (std::int32_t c = tileColumn; c < columnEnd; c += kBlock) {
                    RotateBlock8Right(source + LumaBytes(width, r) + static_cast<std::size_t>(c),
                                      width,
                                      destination + LumaBytes(height, c) +
                                          static_cast<std::size_t>(height - kBlock - r),
                                      height);
                }
            }
        }
    }
    const auto turnPixel = [&](std::int32_t r, std::int32_t c) {
        destination[LumaBytes(height, c) + static_cast<std::size_t>(height - 1 - r)] =
            source[LumaBytes(width, r) + static_cast<std::size_t>(c)];
    };
    for (std::int32_t r = 0; r < height; ++r) {
        for (std::int32_t c = r < blockRows ? blockColumns : 0; c < width; ++c) turnPixel(r, c);
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
