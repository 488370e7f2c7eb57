#pragma once
// What the camera offers and accepts, as a value built from the producer's output settings: the
// producer's own size first, then the sizes clients commonly ask for, each in NV12 and YUY2 in
// both format layouts, and after all of them in RGB24 and RGB32 for clients that want RGB. Plain
// data, so every caller works on its own copy.
#include <array>

#include "exchange/reader.h"
#include "filter/video_format.h"

namespace orvanecam::filter {

class FormatCatalogue {
  public:
    static constexpr int kMaxSizes = 5;

    // settings as read from the block: an invalid size falls back to the default, the rate is
    // clamped to 1..120 fps, and any format order other than 0 means NV12 first.
    explicit FormatCatalogue(const exchange::OutputSettings& settings);

    int SizeCount() const { return m_sizeCount; }
    // Positions of EnumMediaTypes: every size in each subtype-and-layout group, group by group:
    // the preferred YUV subtype in both layouts, the other in both, then RGB24 and RGB32.
    int TypeCount() const { return m_sizeCount * 6; }
    // Indices of GetStreamCaps: every size in the preferred YUV subtype, the other, RGB24, RGB32.
    int CapabilityCount() const { return m_sizeCount * 4; }
    // The sample format and layout of a position's group (0..5).
    picture::SampleFormat GroupFormat(int group) const;
    bool Nv12First() const { return m_nv12First; }
    // The two YUV subtypes in the order they are offered, the preferred first.
    std::array<picture::SampleFormat, 2> YuvFormats() const;
    // The rate every size is offered at.
    std::int32_t FramesPerSecond() const { return m_fps; }
    const FormatEntry& Entry(int index) const { return m_sizes[static_cast<std::size_t>(index)]; }

    // E_INVALIDARG for a negative position, VFW_S_NO_MORE_ITEMS past the end.
    HRESULT TypeAt(int position, streaming::CMediaType& type) const;
    // The type (VIDEOINFOHEADER layout, variable-size samples) and the capability record of
    // index: the entry's size as the input, and every size and rate a client may choose.
    HRESULT CapabilityAt(int index, streaming::CMediaType& type,
                         VIDEO_STREAM_CONFIG_CAPS& caps) const;

  private:
    std::array<FormatEntry, kMaxSizes> m_sizes{};
    int m_sizeCount = 0;
    bool m_nv12First = true;
    std::int32_t m_fps = exchange::kDefaultFps;
};

// The catalogue of the block's current output settings (the defaults without a block). Reading
// only: bad values are taken as their defaults, and the block is left as it is.
FormatCatalogue ReadCatalogue(exchange::FrameReader& reader);

// A video type a client proposes for a connection: video, NV12, YUY2, RGB24 or RGB32 in either
// format layout with a block of that layout's size, a header whose compression and bit count
// describe the subtype's layout (the client reads the buffer by it), width even and within
// 1..4096, height within 1..4096 (even but for YUY2; RGB may be top-down), and a frame interval of
// 0 (any) or within 1/120 s..1 s. S_OK or E_INVALIDARG.
HRESULT CheckVideoType(const AM_MEDIA_TYPE& type);

// The type a client's SetFormat request names, rebuilt: clients edit the subtype, the size and the
// frame interval of a type they were given and leave the rest describing the old subtype, so only
// the subtype, the layout, the size, the orientation of RGB and the frame interval (0 meaning
// defaultInterval) are taken from it, under the rules above; everything else is built anew.
// E_INVALIDARG when it names no type the camera makes, E_OUTOFMEMORY.
HRESULT NormaliseVideoType(const AM_MEDIA_TYPE& requested, REFERENCE_TIME defaultInterval,
                           streaming::CMediaType& normalised);

}  // namespace orvanecam::filter
