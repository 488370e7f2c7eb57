#include "capture/stream_format.h"

#include <cstdlib>

namespace orvanecam::tools {
namespace {

const BITMAPINFOHEADER* HeaderOf(const AM_MEDIA_TYPE& type, REFERENCE_TIME& interval) {
    if (type.pbFormat == nullptr) return nullptr;
    if (type.formattype == FORMAT_VideoInfo && type.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat);
        interval = info->AvgTimePerFrame;
        return &info->bmiHeader;
    }
    if (type.formattype == FORMAT_VideoInfo2 && type.cbFormat >= sizeof(VIDEOINFOHEADER2)) {
        const auto* info = reinterpret_cast<const VIDEOINFOHEADER2*>(type.pbFormat);
        interval = info->AvgTimePerFrame;
        return &info->bmiHeader;
    }
    return nullptr;
}

bool Matches(const AM_MEDIA_TYPE& type, const FormatRequest& request) {
    const auto described = DescribeFormat(type);
    if (!described) return false;
    if (request.format && described->format != *request.format) return false;
    return !request.size || (described->size.width == request.size->width &&
                             described->size.height == request.size->height);
}

}  // namespace

OwnedMediaType::~OwnedMediaType() {
    if (m_type == nullptr) return;
    CoTaskMemFree(m_type->pbFormat);
    if (m_type->pUnk != nullptr) m_type->pUnk->Release();
    CoTaskMemFree(m_type);
}

AM_MEDIA_TYPE* ChooseFormat(IAMStreamConfig& config, const FormatRequest& request,
                            OwnedMediaType& holder) {
    if (!request.size && !request.format) {
        return SUCCEEDED(config.GetFormat(holder.out())) ? holder.get() : nullptr;
    }
    int count = 0;
    int capsBytes = 0;
    if (FAILED(config.GetNumberOfCapabilities(&count, &capsBytes)) ||
        capsBytes != sizeof(VIDEO_STREAM_CONFIG_CAPS)) {
        return nullptr;
    }
    for (const GUID& layout : {FORMAT_VideoInfo, FORMAT_VideoInfo2}) {
        for (int i = 0; i < count; ++i) {
            OwnedMediaType candidate;
            VIDEO_STREAM_CONFIG_CAPS caps{};
            if (FAILED(config.GetStreamCaps(i, candidate.out(), reinterpret_cast<BYTE*>(&caps)))) {
                continue;
            }
            if (candidate.get()->formattype != layout || !Matches(*candidate.get(), request)) {
                continue;
            }
            std::swap(*holder.out(), *candidate.out());
            return holder.get();
        }
    }
    return nullptr;
}

std::optional<StreamFormat> DescribeFormat(const AM_MEDIA_TYPE& type) {
    REFERENCE_TIME interval = 0;
    const BITMAPINFOHEADER* header = HeaderOf(type, interval);
    if (type.majortype != MEDIATYPE_Video || header == nullptr) return std::nullopt;
    StreamFormat format;
    if (type.subtype == MEDIASUBTYPE_NV12) {
        format.format = PixelFormat::kNv12;
    } else if (type.subtype == MEDIASUBTYPE_YUY2) {
        format.format = PixelFormat::kYuy2;
    } else {
        return std::nullopt;
    }
    format.size = {header->biWidth, std::abs(header->biHeight)};
    if (format.size.width < 2 || format.size.height < 2 || format.size.width > 4096 ||
        format.size.height > 4096) {
        return std::nullopt;
    }
    format.framesPerSecond = interval > 0 ? 1e7 / static_cast<double>(interval) : 0;
    return format;
}

}  // namespace orvanecam::tools
