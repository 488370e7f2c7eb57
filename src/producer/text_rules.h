#pragma once
// UTF-16 text as producers pass it: null-safe copies.
#include <string>
#include <string_view>

#include "orvanecam/orvanecam.h"

namespace orvanecam::producer {

// The zero-terminated text, or empty for a null pointer.
std::u16string TextOf(const OrvaneCamChar16* text);

}  // namespace orvanecam::producer
