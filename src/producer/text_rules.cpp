#include "producer/text_rules.h"

namespace orvanecam::producer {

std::u16string TextOf(const OrvaneCamChar16* text) {
    std::u16string copy;
    if (text == nullptr) return copy;
    for (const OrvaneCamChar16* at = text; *at != 0; ++at) copy += static_cast<char16_t>(*at);
    return copy;
}

bool IsWhiteSpace(char16_t unit) {
    return (unit >= 0x09 && unit <= 0x0D) || unit == 0x20 || unit == 0x85 || unit == 0xA0 ||
           unit == 0x1680 || (unit >= 0x2000 && unit <= 0x200A) || unit == 0x2028 ||
           unit == 0x2029 || unit == 0x202F || unit == 0x205F || unit == 0x3000;
}

std::u16string_view TrimWhiteSpace(std::u16string_view text) {
    while (!text.empty() && IsWhiteSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhiteSpace(text.back())) text.remove_suffix(1);
    return text;
}

}  // namespace orvanecam::producer
