#pragma once
// Bilinear scaling of NV12 pictures that keeps colours exact. The library's scaler of interleaved
// chroma pulls every value down by about 1 % (U 240 becomes 238, a blue six levels darker once in
// RGB), so the chroma is taken apart and each plane scaled on its own, as luma is.
#include <cstdint>

#include "picture/scratch_buffer.h"

namespace orvanecam::picture {

// One NV12 picture in memory: luma and interleaved chroma planes with their row strides.
template <class Byte>
struct Nv12PlanesOf {
    Byte* luma;
    int lumaStride;
    Byte* chroma;
    int chromaStride;
    int width;   // even
    int height;  // even
};
using Nv12Source = Nv12PlanesOf<const std::uint8_t>;
using Nv12Target = Nv12PlanesOf<std::uint8_t>;

// Scales source into destination (both sides even, 2..4096); chroma works in scratch, which
// after the first picture of a size allocates nothing.
void ScaleNv12Planes(const Nv12Source& source, const Nv12Target& destination,
                     ScratchBuffer& scratch);

}  // namespace orvanecam::picture
