#include "filter/trace.h"

#include "filter/video_format.h"
#include "platform/clock.h"

namespace orvanecam::filter {
namespace {

char Printable(DWORD value, int byte) {
    const auto c = static_cast<unsigned char>(value >> (8 * byte));
    return c >= 32 && c <= 126 ? static_cast<char>(c) : '.';
}

}  // namespace

void TraceMediaType(const char* label, const AM_MEDIA_TYPE* mediaType) {
    if (mediaType == nullptr) return;
    const char* subtype = mediaType->subtype == MEDIASUBTYPE_NV12   ? "NV12"
                          : mediaType->subtype == MEDIASUBTYPE_YUY2 ? "YUY2"
                                                                    : "OTHER";
    const char* format = mediaType->formattype == FORMAT_VideoInfo    ? "VideoInfo"
                         : mediaType->formattype == FORMAT_VideoInfo2 ? "VideoInfo2"
                                                                      : "OtherFmt";
    const BITMAPINFOHEADER* header = BitmapHeaderOf(*mediaType);
    const BITMAPINFOHEADER none{};
    const BITMAPINFOHEADER& picture = header != nullptr ? *header : none;
    // AvgTimePerFrame sits at the same place in both layouts.
    const long long interval =
        header != nullptr
            ? reinterpret_cast<const VIDEOINFOHEADER*>(mediaType->pbFormat)->AvgTimePerFrame
            : 0;
    TraceLine(512,
              "[OrvaneCam2Dbg] %s subtype=%s fmt=%s %dx%d bpp=%u img=%lu avg=%lld(~%dfps) "
              "comp=0x%08X(%c%c%c%c)\n",
              label, subtype, format, static_cast<int>(picture.biWidth), PictureHeight32(picture),
              static_cast<unsigned>(picture.biBitCount),
              static_cast<unsigned long>(FrameBytes(*mediaType)), interval,
              interval >= 1 ? static_cast<int>(platform::kUnitsPerSecond / interval) : 0,
              static_cast<unsigned>(picture.biCompression), Printable(picture.biCompression, 0),
              Printable(picture.biCompression, 1), Printable(picture.biCompression, 2),
              Printable(picture.biCompression, 3));
}

}  // namespace orvanecam::filter
