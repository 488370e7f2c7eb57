#include "picture/nv12_scale.h"

#include <libyuv.h>

#include <cstddef>
#include <utility>

namespace orvanecam::picture {

void ScaleNv12Planes(const Nv12Source& source, const Nv12Target& destination,
                     ScratchBuffer& scratch) {
    libyuv::ScalePlane(source.luma, source.lumaStride, source.width, source.height,
                       destination.luma, destination.lumaStride, destination.width,
                       destination.height, libyuv::kFilterBilinear);
    const int sourceWidth = source.width / 2, sourceHeight = source.height / 2;
    const int targetWidth = destination.width / 2, targetHeight = destination.height / 2;
    const auto sourcePlane = static_cast<std::size_t>(sourceWidth) * sourceHeight;
    const auto targetPlane = static_cast<std::size_t>(targetWidth) * targetHeight;
    std::uint8_t* u = scratch.Reserve(2 * (sourcePlane + targetPlane));
    std::uint8_t* v = u + sourcePlane;
    std::uint8_t* scaledU = v + sourcePlane;
    std::uint8_t* scaledV = scaledU + targetPlane;
    libyuv::SplitUVPlane(source.chroma, source.chromaStride, u, sourceWidth, v, sourceWidth,
                         sourceWidth, sourceHeight);
    for (const auto& [plane, scaled] : {std::pair{u, scaledU}, std::pair{v, scaledV}}) {
        libyuv::ScalePlane(plane, sourceWidth, sourceWidth, sourceHeight, scaled, targetWidth,
                           targetWidth, targetHeight, libyuv::kFilterBilinear);
    }
    libyuv::MergeUVPlane(scaledU, targetWidth, scaledV, targetWidth, destination.chroma,
                         destination.chromaStride, targetWidth, targetHeight);
}

}  // namespace orvanecam::picture
