#pragma once
// Helpers for the platform's wide strings (WCHAR, UTF-16).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "sdk/directshow.h"

namespace orvanecam::streaming {

// The length of text, or nothing when it reaches limit characters without a terminator.
std::optional<std::size_t> BoundedLength(LPCWSTR text, std::size_t limit);

// Copies text into field (capacity characters), cut to capacity - 1 and always terminated; an
// empty string for null text.
void CopyTruncated(LPCWSTR text, WCHAR* field, std::size_t capacity);

using WideString = std::basic_string<WCHAR>;

// Writes value in decimal, terminated, into text of capacity characters (enough for any int).
void WriteDecimal(std::int32_t value, WCHAR* text, std::size_t capacity);

// Reads a decimal integer the way the C runtime's _wtoi does: leading white space, an optional
// sign, then digits; 0 when there are none.
std::int32_t ReadDecimal(LPCWSTR text);

}  // namespace orvanecam::streaming
