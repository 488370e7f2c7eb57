#pragma once
// The media types the stream offers, from the capture filter's format catalogue: every size in
// the preferred subtype, then in the other (NV12, YUY2), at the producer's frame rate.
#include <cstdint>
#include <optional>
#include <vector>

#include "filter/format_catalogue.h"
#include "picture/render.h"
#include "sdk/com_ptr.h"
#include "sdk/media_foundation.h"

namespace orvanecam::mfsource {

HRESULT CreateOfferedTypes(const filter::FormatCatalogue& catalogue,
                           std::vector<sdk::ComPtr<IMFMediaType>>& types);

// What a stream of one type delivers: the picture, and the frame interval in 100 ns units.
struct StreamFormat {
    picture::MediaFrame media;
    std::int64_t interval;
};

// The format of a type the camera can produce (video, NV12 or YUY2, an even size within
// 2..4096, a positive rate); nullopt for any other.
std::optional<StreamFormat> StreamFormatOf(IMFMediaType* type);
// The format of the current type of a stream descriptor's handler, as StreamFormatOf.
std::optional<StreamFormat> CurrentFormatOf(IMFStreamDescriptor* descriptor);

// The present on the system clock (the presentation clock's time source), as a start event's
// value: a live stream starts now, whatever position it was asked to start at.
PROPVARIANT SystemTimeNow();

}  // namespace orvanecam::mfsource
