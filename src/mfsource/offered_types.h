#pragma once
// The media types the stream offers, from the camera's offer: every size in the preferred subtype,
// then in the other (NV12, YUY2), at the producer's frame rate; and a client's choice among them.
#include <cstdint>
#include <optional>
#include <vector>

#include "camera/offer.h"
#include "sdk/com_ptr.h"
#include "sdk/media_foundation.h"

namespace orvanecam::mfsource {

HRESULT CreateOfferedTypes(const camera::Offer& offer,
                           std::vector<sdk::ComPtr<IMFMediaType>>& types);

// What a stream of one type delivers: the picture, and the frame interval in 100 ns units.
using StreamFormat = camera::Choice;

// The format of a video type in NV12 or YUY2 that the camera's choice rules take; nullopt for any
// other.
std::optional<StreamFormat> StreamFormatOf(IMFMediaType* type);
// The format of the current type of a stream descriptor's handler, as StreamFormatOf.
std::optional<StreamFormat> CurrentFormatOf(IMFStreamDescriptor* descriptor);

// The present on the system clock (the presentation clock's time source), as a start event's
// value: a live stream starts now, whatever position it was asked to start at.
PROPVARIANT SystemTimeNow();

}  // namespace orvanecam::mfsource
