#pragma once
// UTF-16 text as producers pass it: null-safe copies and white space as Windows' iswspace sees it.
#include <string>
#include <string_view>

#include "orvanecam/orvanecam.h"

namespace orvanecam::producer {

// The zero-terminated text, or empty for a null pointer.
std::u16string TextOf(const OrvaneCamChar16* text);

// Unicode white space (tab to carriage return, space, no-break spaces, the typographic spaces,
// line and paragraph separators), the set Windows' iswspace answers for.
bool IsWhiteSpace(char16_t unit);

// text without leading and trailing white space.
std::u16string_view TrimWhiteSpace(std::u16string_view text);

}  // namespace orvanecam::producer
