#pragma once
// The camera's offer as DirectShow media types: every offered size in NV12 and YUY2 in both
// format layouts, after all of them in RGB24 and RGB32 for clients that want RGB, and last in
// I420 and IYUV (one layout, two names) for clients that want planar YUV. Plain data, so every
// caller works on its own copy.
#include "camera/offer.h"
#include "filter/video_format.h"

namespace orvanecam::filter {

class FormatCatalogue {
  public:
    explicit FormatCatalogue(const camera::Offer& offer) : m_offer(offer) {}

    int SizeCount() const { return m_offer.SizeCount(); }
    // Positions of EnumMediaTypes: every size in each subtype-and-layout group, group by group:
    // the preferred YUV subtype in both layouts, the other in both, then RGB24, RGB32, I420 and
    // IYUV.
    int TypeCount() const { return SizeCount() * 8; }
    // Indices of GetStreamCaps: every size in the preferred YUV subtype, the other, RGB24, RGB32,
    // I420 and IYUV.
    int CapabilityCount() const { return SizeCount() * 6; }
    // The sample format of a position's group (0..7).
    picture::SampleFormat GroupFormat(int group) const;
    // The offered size of index at the offered rate.
    FormatEntry Entry(int index) const;

    // E_INVALIDARG for a negative position, VFW_S_NO_MORE_ITEMS past the end.
    HRESULT TypeAt(int position, streaming::CMediaType& type) const;
    // The type (VIDEOINFOHEADER layout, variable-size samples) and the capability record of
    // index: the entry's size as the input, and every size and rate a client may choose.
    HRESULT CapabilityAt(int index, streaming::CMediaType& type,
                         VIDEO_STREAM_CONFIG_CAPS& caps) const;

  private:
    camera::Offer m_offer;
};

// The catalogue of the block's current output settings (camera::ReadOffer).
FormatCatalogue ReadCatalogue(exchange::FrameReader& reader);

// A video type a client proposes for a connection: video, NV12, YUY2, RGB24, RGB32, I420 or IYUV
// in either
// format layout with a block of that layout's size, a header whose compression and bit count
// describe the subtype's layout (the client reads the buffer by it), and a picture and rate the
// camera's choice rules take, a frame interval of 0 meaning any (RGB may be top-down). S_OK or
// E_INVALIDARG.
HRESULT CheckVideoType(const AM_MEDIA_TYPE& type);

// The type a client's SetFormat request names, rebuilt: clients edit the subtype, the size and the
// frame interval of a type they were given and leave the rest describing the old subtype, so only
// the subtype, the layout, the size, the orientation of RGB and the frame interval (0 meaning
// defaultInterval) are taken from it, under the rules above; everything else is built anew.
// E_INVALIDARG when it names no type the camera makes, E_OUTOFMEMORY.
HRESULT NormaliseVideoType(const AM_MEDIA_TYPE& requested, REFERENCE_TIME defaultInterval,
                           streaming::CMediaType& normalised);

}  // namespace orvanecam::filter
