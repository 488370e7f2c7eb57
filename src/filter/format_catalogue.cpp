#include "filter/format_catalogue.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "geometry/picture_geometry.h"
#include "platform/clock.h"

namespace orvanecam::filter {
namespace {

// Landscape sizes clients ask cameras for by name, largest first.
constexpr exchange::FrameSize kCommonSizes[] = {{1920, 1080}, {1280, 720}, {640, 480}, {320, 240}};
// The renderer scales both ways with bilinear filtering: two taps.
constexpr int kScalingTaps = 2;

// What a proposed type asks for, when it is a picture the camera makes.
struct RequestedPicture {
    picture::SampleFormat format;
    std::int32_t width;
    std::int32_t height;      // negative: top-down
    REFERENCE_TIME interval;  // 0: any
};

// Reads only the subtype, the layout, the size and the frame interval.
std::optional<RequestedPicture> PictureOf(const AM_MEDIA_TYPE& type) {
    if (type.majortype != MEDIATYPE_Video) return std::nullopt;
    const std::optional<picture::SampleFormat> format = CameraFormatOf(type.subtype);
    const BITMAPINFOHEADER* header = BitmapHeaderOf(type);
    if (!format.has_value() || header == nullptr) return std::nullopt;
    const std::int64_t width = header->biWidth;
    const std::int64_t height = PictureHeight(*header);
    if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height) || width % 2 != 0) {
        return std::nullopt;
    }
    if (*format != picture::SampleFormat::kYuy2 && height % 2 != 0) return std::nullopt;
    const REFERENCE_TIME interval = AvgTimePerFrameOf(type);
    if (interval != 0 && (interval < kMinFrameInterval || interval > kMaxFrameInterval)) {
        return std::nullopt;
    }
    const bool topDown = picture::IsRgb(*format) && header->biHeight < 0;
    return RequestedPicture{*format, static_cast<std::int32_t>(width),
                            static_cast<std::int32_t>(topDown ? -height : height), interval};
}

// The data rate of one size and rate, as the capability record's 32-bit field holds it.
LONG BitsPerSecond(std::int32_t width, std::int32_t height, picture::SampleFormat format,
                   REFERENCE_TIME interval) {
    const std::int64_t bits =
        geometry::FrameBytes(width, height, format) * 8 * platform::kUnitsPerSecond / interval;
    return static_cast<LONG>(std::min<std::int64_t>(bits, INT32_MAX));
}

}  // namespace

FormatCatalogue::FormatCatalogue(const exchange::OutputSettings& settings)
    : m_nv12First(settings.nv12First != 0),
      m_fps(settings.fps < 1 ? exchange::kDefaultFps
                             : std::min(settings.fps, kMaxFramesPerSecond)) {
    const REFERENCE_TIME interval = platform::kUnitsPerSecond / m_fps;
    const exchange::FrameSize own = exchange::ValidOutputSize(settings.width, settings.height);
    m_sizes[0] = {own.width, own.height, interval};
    m_sizeCount = 1;
    for (const exchange::FrameSize& size : kCommonSizes) {
        if (size == own) continue;
        m_sizes[static_cast<std::size_t>(m_sizeCount++)] = {size.width, size.height, interval};
    }
}

std::array<picture::SampleFormat, 2> FormatCatalogue::YuvFormats() const {
    using picture::SampleFormat;
    return m_nv12First ? std::array{SampleFormat::kNv12, SampleFormat::kYuy2}
                       : std::array{SampleFormat::kYuy2, SampleFormat::kNv12};
}

picture::SampleFormat FormatCatalogue::GroupFormat(int group) const {
    if (group == 4) return picture::SampleFormat::kRgb24;
    if (group == 5) return picture::SampleFormat::kRgb32;
    return YuvFormats()[static_cast<std::size_t>(group / 2)];
}

HRESULT FormatCatalogue::TypeAt(int position, streaming::CMediaType& type) const {
    if (position < 0) return E_INVALIDARG;
    if (position >= TypeCount()) return VFW_S_NO_MORE_ITEMS;
    const int group = position / m_sizeCount;
    // RGB is offered in the VIDEOINFOHEADER layout only, as DIB clients expect.
    const FormatLayout layout =
        group % 2 == 0 || group >= 4 ? FormatLayout::kVideoInfo : FormatLayout::kVideoInfo2;
    return BuildVideoType(Entry(position % m_sizeCount), GroupFormat(group), layout, type);
}

HRESULT FormatCatalogue::CapabilityAt(int index, streaming::CMediaType& type,
                                      VIDEO_STREAM_CONFIG_CAPS& caps) const {
    if (index < 0 || index >= CapabilityCount()) return E_INVALIDARG;
    // Capabilities run through the groups of the VIDEOINFOHEADER layout: 0, 2, 4 and 5.
    const int capabilityGroup = index / m_sizeCount;
    const picture::SampleFormat format =
        GroupFormat(capabilityGroup < 2 ? capabilityGroup * 2 : capabilityGroup + 2);
    const FormatEntry& entry = Entry(index % m_sizeCount);
    if (FAILED(BuildVideoType(entry, format, FormatLayout::kVideoInfo, type))) return E_OUTOFMEMORY;
    type.bFixedSizeSamples = FALSE;

    // Any size and rate in range is drawn from the same input, the entry's size being the one
    // this capability names; no source rectangle is taken, so cropping keeps the whole picture.
    const SIZE size{entry.width, entry.height};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;  // digital video, no analog standard
    caps.InputSize = caps.MinCroppingSize = caps.MaxCroppingSize = size;
    caps.CropGranularityX = caps.CropGranularityY = kSideStep;
    caps.CropAlignX = caps.CropAlignY = kSideStep;
    caps.MinOutputSize = {kSideStep, kSideStep};
    caps.MaxOutputSize = {geometry::kMaxDimension, geometry::kMaxDimension};
    caps.OutputGranularityX = caps.OutputGranularityY = kSideStep;
    caps.StretchTapsX = caps.StretchTapsY = kScalingTaps;
    caps.ShrinkTapsX = caps.ShrinkTapsY = kScalingTaps;
    caps.MinFrameInterval = kMinFrameInterval;
    caps.MaxFrameInterval = kMaxFrameInterval;
    caps.MinBitsPerSecond = BitsPerSecond(kSideStep, kSideStep, format, kMaxFrameInterval);
    caps.MaxBitsPerSecond =
        BitsPerSecond(geometry::kMaxDimension, geometry::kMaxDimension, format, kMinFrameInterval);
    return S_OK;
}

FormatCatalogue ReadCatalogue(exchange::FrameReader& reader) {
    if (!reader.OpenReaderBlock()) {
        return FormatCatalogue(
            {exchange::kDefaultWidth, exchange::kDefaultHeight, exchange::kDefaultFps, 1u});
    }
    // The catalogue takes bad values as their defaults; a reader never writes the block for them.
    return FormatCatalogue(reader.ReadOutputSettings());
}

HRESULT CheckVideoType(const AM_MEDIA_TYPE& type) {
    const std::optional<RequestedPicture> requested = PictureOf(type);
    if (!requested.has_value()) return E_INVALIDARG;
    return HeaderMatchesFormat(*BitmapHeaderOf(type), requested->format) ? S_OK : E_INVALIDARG;
}

HRESULT NormaliseVideoType(const AM_MEDIA_TYPE& requested, REFERENCE_TIME defaultInterval,
                           streaming::CMediaType& normalised) {
    const std::optional<RequestedPicture> picture = PictureOf(requested);
    if (!picture.has_value()) return E_INVALIDARG;
    const FormatEntry entry{picture->width, std::abs(picture->height),
                            picture->interval != 0 ? picture->interval : defaultInterval};
    const FormatLayout layout = requested.formattype == FORMAT_VideoInfo2
                                    ? FormatLayout::kVideoInfo2
                                    : FormatLayout::kVideoInfo;
    const HRESULT built = BuildVideoType(entry, picture->format, layout, normalised);
    if (FAILED(built)) return built;
    BitmapHeaderOf(normalised)->biHeight = picture->height;
    return S_OK;
}

}  // namespace orvanecam::filter
