#include "filter/video_format.h"

#include "camera/choice.h"
#include "geometry/picture_geometry.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace orvanecam::filter {
namespace {

struct SubtypeFacts {
    picture::SampleFormat format;
    const GUID* subtype;
    DWORD compression;
    WORD bitCount;
};

const SubtypeFacts kSubtypes[] = {
    {picture::SampleFormat::kNv12, &MEDIASUBTYPE_NV12, kFourccNv12, 12},
    {picture::SampleFormat::kYuy2, &MEDIASUBTYPE_YUY2, kFourccYuy2, 16},
    {picture::SampleFormat::kRgb24, &MEDIASUBTYPE_RGB24, BI_RGB, 24},
    {picture::SampleFormat::kRgb32, &MEDIASUBTYPE_RGB32, BI_RGB, 32},
    {picture::SampleFormat::kI420, &kSubtypeI420, kFourccI420, 12},
    {picture::SampleFormat::kIyuv, &kSubtypeIyuv, kFourccIyuv, 12},
};

const SubtypeFacts& FactsOf(picture::SampleFormat format) {
    for (const SubtypeFacts& facts : kSubtypes) {
        if (facts.format == format) return facts;
    }
    return kSubtypes[0];
}

BITMAPINFOHEADER PictureHeader(const FormatEntry& entry, picture::SampleFormat format) {
    const SubtypeFacts& facts = FactsOf(format);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = entry.width;
    header.biHeight = entry.height;
    header.biPlanes = 1;
    header.biBitCount = facts.bitCount;
    header.biCompression = facts.compression;
    // Offered sizes are at most 4096 x 4096, so this fits.
    header.biSizeImage =
        static_cast<DWORD>(picture::FrameBytes({entry.width, entry.height, format}));
    return header;
}

}  // namespace

const BITMAPINFOHEADER* BitmapHeaderOf(const AM_MEDIA_TYPE& mediaType) {
    if (mediaType.pbFormat == nullptr) return nullptr;
    if (mediaType.formattype == FORMAT_VideoInfo && mediaType.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        return &reinterpret_cast<const VIDEOINFOHEADER*>(mediaType.pbFormat)->bmiHeader;
    }
    if (mediaType.formattype == FORMAT_VideoInfo2 &&
        mediaType.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        return &reinterpret_cast<const VIDEOINFOHEADER2*>(mediaType.pbFormat)->bmiHeader;
    }
    return nullptr;
}

BITMAPINFOHEADER* BitmapHeaderOf(AM_MEDIA_TYPE& mediaType) {
    return const_cast<BITMAPINFOHEADER*>(BitmapHeaderOf(std::as_const(mediaType)));
}

REFERENCE_TIME AvgTimePerFrameOf(const AM_MEDIA_TYPE& mediaType) {
    if (BitmapHeaderOf(mediaType) == nullptr) return 0;
    // AvgTimePerFrame sits at the same place in both layouts.
    return reinterpret_cast<const VIDEOINFOHEADER*>(mediaType.pbFormat)->AvgTimePerFrame;
}

REFERENCE_TIME FrameIntervalOf(const AM_MEDIA_TYPE& mediaType) {
    const REFERENCE_TIME interval = AvgTimePerFrameOf(mediaType);
    return interval > 0 ? interval : camera::kDefaultFrameInterval;
}

std::optional<picture::SampleFormat> CameraFormatOf(const GUID& subtype) {
    for (const SubtypeFacts& facts : kSubtypes) {
        if (subtype == *facts.subtype) return facts.format;
    }
    return std::nullopt;
}

const GUID& SubtypeOf(picture::SampleFormat format) {
    return *FactsOf(format).subtype;
}

picture::SampleFormat SampleFormatOf(const AM_MEDIA_TYPE& mediaType) {
    return CameraFormatOf(mediaType.subtype).value_or(picture::SampleFormat::kNv12);
}

bool HeaderMatchesFormat(const BITMAPINFOHEADER& header, picture::SampleFormat format) {
    const SubtypeFacts& facts = FactsOf(format);
    return header.biCompression == facts.compression && header.biBitCount == facts.bitCount;
}

std::int64_t PictureHeight(const BITMAPINFOHEADER& header) {
    return std::llabs(static_cast<std::int64_t>(header.biHeight));
}

std::int32_t PictureHeight32(const BITMAPINFOHEADER& header) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(PictureHeight(header), INT32_MAX));
}

std::int64_t FrameBytes(const AM_MEDIA_TYPE& mediaType) {
    const BITMAPINFOHEADER* header = BitmapHeaderOf(mediaType);
    if (header == nullptr || header->biWidth <= 0 || header->biHeight == 0) return 0;
    return geometry::FrameBytes(header->biWidth, PictureHeight(*header), SampleFormatOf(mediaType));
}

HRESULT BuildVideoType(const FormatEntry& entry, bool yuy2, FormatLayout layout,
                       streaming::CMediaType& mediaType) {
    return BuildVideoType(entry, yuy2 ? picture::SampleFormat::kYuy2 : picture::SampleFormat::kNv12,
                          layout, mediaType);
}

HRESULT BuildVideoType(const FormatEntry& entry, picture::SampleFormat format, FormatLayout layout,
                       streaming::CMediaType& mediaType) {
    const REFERENCE_TIME interval =
        entry.avgTimePerFrame >= 1 ? entry.avgTimePerFrame : camera::kDefaultFrameInterval;
    const BITMAPINFOHEADER header = PictureHeader(entry, format);
    if (layout == FormatLayout::kVideoInfo2) {
        BYTE* block = mediaType.AllocFormatBuffer(sizeof(VIDEOINFOHEADER2));
        if (block == nullptr) return E_OUTOFMEMORY;
        VIDEOINFOHEADER2 info{};
        info.AvgTimePerFrame = interval;
        info.dwPictAspectRatioX = static_cast<DWORD>(entry.width);
        info.dwPictAspectRatioY = static_cast<DWORD>(entry.height);
        info.bmiHeader = header;
        std::memcpy(block, &info, sizeof(info));
    } else {
        BYTE* block = mediaType.AllocFormatBuffer(sizeof(VIDEOINFOHEADER));
        if (block == nullptr) return E_OUTOFMEMORY;
        VIDEOINFOHEADER info{};
        info.AvgTimePerFrame = interval;
        info.bmiHeader = header;
        std::memcpy(block, &info, sizeof(info));
    }
    mediaType.SetType(MEDIATYPE_Video);
    mediaType.SetFormatType(layout == FormatLayout::kVideoInfo2 ? FORMAT_VideoInfo2
                                                                : FORMAT_VideoInfo);
    mediaType.SetTemporalCompression(FALSE);
    mediaType.SetSubtype(SubtypeOf(format));
    mediaType.SetSampleSize(header.biSizeImage);
    return S_OK;
}

}  // namespace orvanecam::filter
