#include "filter/format_catalogue.h"

#include <algorithm>
#include <cstring>

namespace orvanecam::filter {
namespace {

// Landscape sizes clients ask cameras for by name, largest first.
constexpr exchange::FrameSize kCommonSizes[] = {{1920, 1080}, {1280, 720}, {640, 480}, {320, 240}};
constexpr std::int32_t kMaxFps = 120;

}  // namespace

FormatCatalogue::FormatCatalogue(const exchange::OutputSettings& settings)
    : m_nv12First(settings.nv12First != 0),
      m_fps(settings.fps < 1 ? exchange::kDefaultFps : std::min(settings.fps, kMaxFps)) {
    const REFERENCE_TIME interval = 10000000 / m_fps;
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

    const REFERENCE_TIME interval = entry.avgTimePerFrame;
    const SIZE size{entry.width, entry.height};
    caps.guid = FORMAT_VideoInfo;
    caps.VideoStandard = 0;
    caps.InputSize = caps.MinCroppingSize = caps.MaxCroppingSize = size;
    caps.CropGranularityX = entry.width;
    caps.CropGranularityY = entry.height;
    caps.CropAlignX = caps.CropAlignY = 0;
    caps.MinOutputSize = caps.MaxOutputSize = size;
    caps.OutputGranularityX = caps.OutputGranularityY = 0;
    caps.MinFrameInterval = caps.MaxFrameInterval = interval;
    const std::uint32_t imageBytes = type.lSampleSize;
    // A 32-bit field: the largest sizes wrap, as they always have.
    const std::uint32_t bitsPerSecond =
        static_cast<std::uint32_t>(10000000 / interval) * imageBytes * 8u;
    caps.MinBitsPerSecond = caps.MaxBitsPerSecond = static_cast<LONG>(bitsPerSecond);
    return S_OK;
}

FormatCatalogue ReadCatalogue(exchange::FrameReader& reader) {
    if (!reader.OpenReaderBlock()) {
        return FormatCatalogue(
            {exchange::kDefaultWidth, exchange::kDefaultHeight, exchange::kDefaultFps, 1u});
    }
    const exchange::OutputSettings settings = reader.ReadOutputSettings();
    exchange::SharedBlock& block = *reader.Block();
    if (exchange::Atomic(block.outFps).load() < 1) {
        exchange::Atomic(block.outFps).store(exchange::kDefaultFps);
    }
    if (exchange::Atomic(block.nv12First).load() > 1u) exchange::Atomic(block.nv12First).store(1u);
    return FormatCatalogue(settings);
}

HRESULT CheckVideoType(const AM_MEDIA_TYPE& type) {
    if (type.majortype != MEDIATYPE_Video) return E_INVALIDARG;
    if (type.formattype != FORMAT_VideoInfo && type.formattype != FORMAT_VideoInfo2) {
        return E_INVALIDARG;
    }
    const picture::SampleFormat format = SampleFormatOf(type);
    if (format == picture::SampleFormat::kNv12 && type.subtype != MEDIASUBTYPE_NV12) {
        return E_INVALIDARG;  // a subtype the camera does not make
    }
    const BITMAPINFOHEADER* header = BitmapHeaderOf(type);
    if (header == nullptr) return E_INVALIDARG;
    if (!HeaderMatchesFormat(*header, format)) return E_INVALIDARG;
    const bool yuy2 = format == picture::SampleFormat::kYuy2;
    const std::int64_t width = header->biWidth;
    const std::int64_t height = PictureHeight(*header);
    if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height) || width % 2 != 0) {
        return E_INVALIDARG;
    }
    if (!yuy2 && height % 2 != 0) return E_INVALIDARG;
    return S_OK;
}

}  // namespace orvanecam::filter
