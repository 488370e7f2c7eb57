#pragma once
// Reading and building the video media types the camera offers: NV12, YUY2, RGB or I420 pictures
// described by a VIDEOINFOHEADER or VIDEOINFOHEADER2 block.
#include <cstdint>
#include <optional>

#include "picture/render.h"
#include "sdk/directshow.h"
#include "streaming/media_type.h"

namespace orvanecam::filter {

inline constexpr DWORD kFourccNv12 = 0x3231564E;
inline constexpr DWORD kFourccYuy2 = 0x32595559;
inline constexpr DWORD kFourccI420 = 0x30323449;
inline constexpr DWORD kFourccIyuv = 0x56555949;

// The video subtype of a FOURCC, {XXXXXXXX-0000-0010-8000-00AA00389B71} (not every SDK names
// the I420 one).
inline constexpr GUID SubtypeOfFourcc(DWORD fourcc) {
    return {fourcc, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
}
inline constexpr GUID kSubtypeI420 = SubtypeOfFourcc(kFourccI420);
inline constexpr GUID kSubtypeIyuv = SubtypeOfFourcc(kFourccIyuv);

enum class FormatLayout { kVideoInfo, kVideoInfo2 };

struct FormatEntry {
    std::int32_t width;
    std::int32_t height;
    REFERENCE_TIME avgTimePerFrame;
};

// The bitmap header of a video format block, or null when the format type is neither layout or
// the block is missing or shorter than its layout (a client's short block is never read past).
const BITMAPINFOHEADER* BitmapHeaderOf(const AM_MEDIA_TYPE& mediaType);
BITMAPINFOHEADER* BitmapHeaderOf(AM_MEDIA_TYPE& mediaType);
// AvgTimePerFrame of a video format block as the client wrote it; 0 without a block.
REFERENCE_TIME AvgTimePerFrameOf(const AM_MEDIA_TYPE& mediaType);
// AvgTimePerFrame of a video format block when positive, else the default interval.
REFERENCE_TIME FrameIntervalOf(const AM_MEDIA_TYPE& mediaType);
// The sample format of a subtype the camera makes; nothing for any other subtype.
std::optional<picture::SampleFormat> CameraFormatOf(const GUID& subtype);
// The subtype of a sample format.
const GUID& SubtypeOf(picture::SampleFormat format);
// The sample format of the type's subtype; any subtype the camera does not make counts as NV12.
picture::SampleFormat SampleFormatOf(const AM_MEDIA_TYPE& mediaType);
// The header describes the format's layout: its compression (the FOURCC, or BI_RGB) and its bit
// count.
bool HeaderMatchesFormat(const BITMAPINFOHEADER& header, picture::SampleFormat format);
// |biHeight| without overflow (biHeight may be INT_MIN).
std::int64_t PictureHeight(const BITMAPINFOHEADER& header);
// The same as an int, for picture sizes and trace lines: INT_MAX for the one value beyond it.
std::int32_t PictureHeight32(const BITMAPINFOHEADER& header);
// The byte size of one picture of the type from its geometry (never from a client's
// biSizeImage); 0 without a video format block or with a size that is not positive.
std::int64_t FrameBytes(const AM_MEDIA_TYPE& mediaType);

// Fills mediaType with entry as a video type of the given sample format and layout (RGB types are
// bottom-up DIBs); E_OUTOFMEMORY when the format block cannot be had.
HRESULT BuildVideoType(const FormatEntry& entry, picture::SampleFormat format, FormatLayout layout,
                       streaming::CMediaType& mediaType);
// The same for YUY2 (true) or NV12 (false).
HRESULT BuildVideoType(const FormatEntry& entry, bool yuy2, FormatLayout layout,
                       streaming::CMediaType& mediaType);

}  // namespace orvanecam::filter
