#pragma once
// UTF-16 text (the registry's and the producer API's) to and from UTF-8, the module's internal
// text.
#include <string>
#include <string_view>

namespace orvanecam::platform {

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);
// Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);

// Unicode white space (tab to carriage return, space, no-break spaces, the typographic spaces,
// line and paragraph separators), the set Windows' iswspace answers for.
bool IsWhiteSpace(char16_t unit);
// text without leading and trailing white space.
std::u16string_view TrimWhiteSpace(std::u16string_view text);

}  // namespace orvanecam::platform
