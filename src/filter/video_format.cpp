#include "filter/video_format.h"

#include <cstdlib>
#include <cstring>

namespace orvanecam::filter {
namespace {

std::int32_t ImageBytes(std::int32_t width, std::int32_t height, bool yuy2) {
    // Offered sizes are at most 4096 x 4096, so this fits.
    return yuy2 ? width * height * 2 : width * height * 3 / 2;
}

BITMAPINFOHEADER PictureHeader(const FormatEntry& entry, bool yuy2) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = entry.width;
    header.biHeight = entry.height;
    header.biPlanes = 1;
    header.biBitCount = yuy2 ? 16 : 12;
    header.biCompression = yuy2 ? kFourccYuy2 : kFourccNv12;
    header.biSizeImage = static_cast<DWORD>(ImageBytes(entry.width, entry.height, yuy2));
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

REFERENCE_TIME FrameIntervalOf(const AM_MEDIA_TYPE& mediaType) {
    if (BitmapHeaderOf(mediaType) == nullptr) return kDefaultFrameInterval;
    // AvgTimePerFrame sits at the same place in both layouts.
    const REFERENCE_TIME interval =
        reinterpret_cast<const VIDEOINFOHEADER*>(mediaType.pbFormat)->AvgTimePerFrame;
    return interval > 0 ? interval : kDefaultFrameInterval;
}

bool IsYuy2(const AM_MEDIA_TYPE& mediaType) {
    return mediaType.subtype == MEDIASUBTYPE_YUY2;
}

std::int64_t PictureHeight(const BITMAPINFOHEADER& header) {
    return std::llabs(static_cast<std::int64_t>(header.biHeight));
}

std::int64_t FrameBytes(const AM_MEDIA_TYPE& mediaType) {
    const BITMAPINFOHEADER* header = BitmapHeaderOf(mediaType);
    if (header == nullptr || header->biWidth <= 0 || header->biHeight == 0) return 0;
    const std::int64_t pixels = std::int64_t{header->biWidth} * PictureHeight(*header);
    // pixels * 3 / 2 without overflow (a hostile 2^31 x 2^31 type reaches 2^62 pixels).
    return IsYuy2(mediaType) ? pixels * 2 : pixels + pixels / 2;
}

HRESULT BuildVideoType(const FormatEntry& entry, bool yuy2, FormatLayout layout,
                       streaming::CMediaType& mediaType) {
    const REFERENCE_TIME interval =
        entry.avgTimePerFrame >= 1 ? entry.avgTimePerFrame : kDefaultFrameInterval;
    const BITMAPINFOHEADER header = PictureHeader(entry, yuy2);
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
    mediaType.SetSubtype(yuy2 ? MEDIASUBTYPE_YUY2 : MEDIASUBTYPE_NV12);
    mediaType.SetSampleSize(header.biSizeImage);
    return S_OK;
}

}  // namespace orvanecam::filter
