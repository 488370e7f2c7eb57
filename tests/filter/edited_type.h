#pragma once
// The SetFormat request a widely used capture library builds: the type GetFormat gave it with the
// subtype, the size, the sample size and the frame time changed, the rest (the header's
// compression, bit count and image size among it) left describing the old subtype.
#include "filter/video_format.h"

namespace orvanecam::testing {

inline void EditLikeACaptureLibrary(AM_MEDIA_TYPE& type, picture::SampleFormat format, LONG width,
                                    LONG height, REFERENCE_TIME interval) {
    type.subtype = filter::SubtypeOf(format);
    // It sizes RGB24 samples itself, ignoring row padding, and leaves 0 for the rest.
    type.lSampleSize = format == picture::SampleFormat::kRgb24
                           ? static_cast<ULONG>(width) * static_cast<ULONG>(height) * 3u
                           : 0u;
    BITMAPINFOHEADER& header = *filter::BitmapHeaderOf(type);
    header.biWidth = width;
    header.biHeight = height;
    reinterpret_cast<VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame = interval;
}

}  // namespace orvanecam::testing
