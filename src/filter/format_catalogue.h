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
    // index; caps keeps what the caller's record held in the fields it does not describe.
    HRESULT CapabilityAt(int index, streaming::CMediaType& type,
                         VIDEO_STREAM_CONFIG_CAPS& caps) const;

  private:
    std::array<FormatEntry, kMaxSizes> m_sizes{};
    int m_sizeCount = 0;
    bool m_nv12First = true;
    std::int32_t m_fps = exchange::kDefaultFps;
};

// The catalogue of the block's current output settings (the defaults without a block); a frame
// rate below 1 or a format order other than 0 or 1 is repaired in the block.
FormatCatalogue ReadCatalogue(exchange::FrameReader& reader);

// The rules for a video type the camera can produce: video, NV12 or YUY2 with the matching
// FOURCC or RGB24 or RGB32 as BI_RGB of 24 or 32 bits, a format block of its layout's size, width
// even and within 1..4096, height within 1..4096 (even but for YUY2; RGB top-down too). S_OK or
// E_INVALIDARG.
HRESULT CheckVideoType(const AM_MEDIA_TYPE& type);

}  // namespace orvanecam::filter
