#include "filter/format_catalogue.h"

#include <algorithm>
#include <optional>

#include "geometry/picture_geometry.h"
#include "platform/clock.h"

namespace orvanecam::filter {
namespace {

// The renderer scales both ways with bilinear filtering: two taps.
constexpr int kScalingTaps = 2;

// What a proposed type asks for, when it is a picture the camera makes. Reads only the subtype,
// the layout, the size and the frame interval.
std::optional<camera::Choice> PictureOf(const AM_MEDIA_TYPE& type) {
    if (type.majortype != MEDIATYPE_Video) return std::nullopt;
    const std::optional<picture::SampleFormat> format = CameraFormatOf(type.subtype);
    const BITMAPINFOHEADER* header = BitmapHeaderOf(type);
    if (!format.has_value() || header == nullptr) return std::nullopt;
    return camera::CheckChoice(*format, header->biWidth, PictureHeight(*header),
                               header->biHeight < 0, AvgTimePerFrameOf(type), true);
}

// The data rate of one size and rate, as the capability record's 32-bit field holds it.
LONG BitsPerSecond(std::int32_t width, std::int32_t height, picture::SampleFormat format,
                   REFERENCE_TIME interval) {
    const std::int64_t bits =
        geometry::FrameBytes(width, height, format) * 8 * platform::kUnitsPerSecond / interval;
    return static_cast<LONG>(std::min<std::int64_t>(bits, INT32_MAX));
}

}  // namespace

FormatEntry FormatCatalogue::Entry(int index) const {
    const exchange::FrameSize& size = m_offer.Size(index);
    return {size.width, size.height, m_offer.Interval()};
}

picture::SampleFormat FormatCatalogue::GroupFormat(int group) const {
    using picture::SampleFormat;
    constexpr SampleFormat kLaterGroups[] = {SampleFormat::kRgb24, SampleFormat::kRgb32,
                                             SampleFormat::kI420, SampleFormat::kIyuv};
    if (group >= 4) return kLaterGroups[static_cast<std::size_t>(group - 4)];
    return m_offer.YuvFormats()[static_cast<std::size_t>(group / 2)];
}

HRESULT FormatCatalogue::TypeAt(int position, streaming::CMediaType& type) const {
    if (position < 0) return E_INVALIDARG;
    if (position >= TypeCount()) return VFW_S_NO_MORE_ITEMS;
    const int group = position / SizeCount();
    // RGB and I420 are offered in the VIDEOINFOHEADER layout only, as their clients expect.
    const FormatLayout layout =
        group % 2 == 0 || group >= 4 ? FormatLayout::kVideoInfo : FormatLayout::kVideoInfo2;
    return BuildVideoType(Entry(position % SizeCount()), GroupFormat(group), layout, type);
}

HRESULT FormatCatalogue::CapabilityAt(int index, streaming::CMediaType& type,
                                      VIDEO_STREAM_CONFIG_CAPS& caps) const {
    if (index < 0 || index >= CapabilityCount()) return E_INVALIDARG;
    // Capabilities run through the groups of the VIDEOINFOHEADER layout: 0, 2, then 4 to 7.
    const int capabilityGroup = index / SizeCount();
    const picture::SampleFormat format =
        GroupFormat(capabilityGroup < 2 ? capabilityGroup * 2 : capabilityGroup + 2);
    const FormatEntry entry = Entry(index % SizeCount());
    if (FAILED(BuildVideoType(entry, format, FormatLayout::kVideoInfo, type))) return E_OUTOFMEMORY;
    type.bFixedSizeSamples = FALSE;

    // Any size and rate in range is drawn from the same input, the entry's size being the one
    // this capability names; no source rectangle is taken, so cropping keeps the whole picture.
    const SIZE size{entry.width, entry.height};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;  // digital video, no analog standard
    caps.InputSize = caps.MinCroppingSize = caps.MaxCroppingSize = size;
    caps.CropGranularityX = caps.CropGranularityY = camera::kSideStep;
    caps.CropAlignX = caps.CropAlignY = camera::kSideStep;
    caps.MinOutputSize = {camera::kSideStep, camera::kSideStep};
    caps.MaxOutputSize = {geometry::kMaxDimension, geometry::kMaxDimension};
    caps.OutputGranularityX = caps.OutputGranularityY = camera::kSideStep;
    caps.StretchTapsX = caps.StretchTapsY = kScalingTaps;
    caps.ShrinkTapsX = caps.ShrinkTapsY = kScalingTaps;
    caps.MinFrameInterval = camera::kMinFrameInterval;
    caps.MaxFrameInterval = camera::kMaxFrameInterval;
    caps.MinBitsPerSecond =
        BitsPerSecond(camera::kSideStep, camera::kSideStep, format, camera::kMaxFrameInterval);
    caps.MaxBitsPerSecond = BitsPerSecond(geometry::kMaxDimension, geometry::kMaxDimension, format,
                                          camera::kMinFrameInterval);
    return S_OK;
}

FormatCatalogue ReadCatalogue(exchange::FrameReader& reader) {
    return FormatCatalogue(camera::ReadOffer(reader));
}

HRESULT CheckVideoType(const AM_MEDIA_TYPE& type) {
    const std::optional<camera::Choice> requested = PictureOf(type);
    if (!requested.has_value()) return E_INVALIDARG;
    return HeaderMatchesFormat(*BitmapHeaderOf(type), requested->media.format) ? S_OK
                                                                               : E_INVALIDARG;
}

HRESULT NormaliseVideoType(const AM_MEDIA_TYPE& requested, REFERENCE_TIME defaultInterval,
                           streaming::CMediaType& normalised) {
    const std::optional<camera::Choice> picture = PictureOf(requested);
    if (!picture.has_value()) return E_INVALIDARG;
    const picture::MediaFrame& media = picture->media;
    const FormatEntry entry{media.width, media.height,
                            picture->interval != 0 ? picture->interval : defaultInterval};
    const FormatLayout layout = requested.formattype == FORMAT_VideoInfo2
                                    ? FormatLayout::kVideoInfo2
                                    : FormatLayout::kVideoInfo;
    const HRESULT built = BuildVideoType(entry, media.format, layout, normalised);
    if (FAILED(built)) return built;
    if (media.topDown) BitmapHeaderOf(normalised)->biHeight = -media.height;
    return S_OK;
}

}  // namespace orvanecam::filter
