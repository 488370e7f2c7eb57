#include "picture/letterbox.h"

#include <cstring>

#include "picture/nv12_scale.h"
#include "picture/pixel_formats.h"

namespace orvanecam::picture {

FitRect FitInside(std::int32_t sourceWidth, std::int32_t sourceHeight,
                  std::int32_t destinationWidth, std::int32_t destinationHeight) {
    const float sourceRatio = static_cast<float>(sourceWidth) / static_cast<float>(sourceHeight);
    const float destinationRatio =
        static_cast<float>(destinationWidth) / static_cast<float>(destinationHeight);
    std::int32_t width = destinationWidth;
    std::int32_t height = destinationHeight;
    if (sourceRatio > destinationRatio) {
        height =
            static_cast<std::int32_t>(static_cast<float>(destinationWidth) / sourceRatio + 0.5f);
    } else {
        width =
            static_cast<std::int32_t>(static_cast<float>(destinationHeight) * sourceRatio + 0.5f);
    }
    width &= ~1;
    height &= ~1;
    if (width < 1 || height < 1) return {0, 0, 0, 0};
    return {((destinationWidth - width) / 2) & ~1, ((destinationHeight - height) / 2) & ~1, width,
            height};
}

void FillBlackNv12(std::uint8_t* picture, std::int32_t width, std::int32_t height) {
    const std::size_t lumaBytes = LumaBytes(width, height);
    std::memset(picture, kBlackLuma, lumaBytes);
    std::memset(picture + lumaBytes, kBlackChroma, lumaBytes / 2);
}

void LetterboxNv12(const std::uint8_t* source, std::int32_t sourceWidth, std::int32_t sourceHeight,
                   std::uint8_t* destination, std::int32_t destinationWidth,
                   std::int32_t destinationHeight, ScratchBuffer& scratch) {
    if (source == nullptr || destination == nullptr || sourceWidth <= 0 || sourceHeight <= 0 ||
        destinationWidth <= 0 || destinationHeight <= 0) {
        return;
    }
    if (sourceWidth == destinationWidth && sourceHeight == destinationHeight) {
        // Nothing to fit: a plain copy, which (unlike the scaler's row copy) keeps its speed
        // whatever the two buffers' alignment to each other.
        std::memcpy(destination, source, Yuv420Bytes(sourceWidth, sourceHeight));
        return;
    }
    FillBlackNv12(destination, destinationWidth, destinationHeight);
    const std::size_t lumaBytes = LumaBytes(destinationWidth, destinationHeight);
    const FitRect fit = FitInside(sourceWidth, sourceHeight, destinationWidth, destinationHeight);
    if (fit.width == 0) return;
    const auto offset = [&](std::int32_t row) {
        return LumaBytes(destinationWidth, row) + static_cast<std::size_t>(fit.x);
    };
    ScaleNv12Planes(
        {source, sourceWidth, source + LumaBytes(sourceWidth, sourceHeight), sourceWidth,
         sourceWidth, sourceHeight},
        {destination + offset(fit.y), destinationWidth, destination + lumaBytes + offset(fit.y / 2),
         destinationWidth, fit.width, fit.height},
        scratch);
}

}  // namespace orvanecam::picture
