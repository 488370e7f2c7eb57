#include "streaming/wide_text.h"

#include <algorithm>
#include <limits>
#include <new>

namespace orvanecam::streaming {

std::optional<std::size_t> BoundedLength(LPCWSTR text, std::size_t limit) {
    for (std::size_t length = 0; length < limit; ++length) {
        if (text[length] == 0) return length;
    }
    return std::nullopt;
}

void CopyTruncated(LPCWSTR text, WCHAR* field, std::size_t capacity) {
    std::size_t length = 0;
    if (text != nullptr) {
        while (length + 1 < capacity && text[length] != 0) {
            field[length] = text[length];
            ++length;
        }
    }
    field[length] = 0;
}

void WriteDecimal(std::int32_t value, WCHAR* text, std::size_t capacity) {
    char digits[16];
    std::size_t count = 0;
    std::int64_t rest = value < 0 ? -static_cast<std::int64_t>(value) : value;
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    std::size_t at = 0;
    if (value < 0 && at + 1 < capacity) text[at++] = '-';
    while (count > 0 && at + 1 < capacity) text[at++] = static_cast<WCHAR>(digits[--count]);
    text[at] = 0;
}

std::int32_t ReadDecimal(LPCWSTR text) {
    if (text == nullptr) return 0;
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    std::int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = std::min<std::int64_t>(value * 10 + (*text - '0'),
                                       std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1);
    }
    value = negative ? -value : value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace orvanecam::streaming
