#pragma once
// UTF-16 text (the registry's and the producer API's) to UTF-8, the module's internal text.
#include <string>
#include <string_view>

namespace orvanecam::platform {

// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace orvanecam::platform
