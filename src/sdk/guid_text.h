#pragma once
// An identifier's registry text, in both builds.
#include <string>

#include "sdk/directshow.h"

namespace orvanecam::sdk {

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case); empty when it cannot be formatted.
inline std::u16string GuidText(REFGUID guid) {
    OLECHAR text[64] = {};
    if (StringFromGUID2(guid, text, 64) == 0) return {};
    std::u16string result;
    for (const OLECHAR* at = text; *at != 0; ++at) result += static_cast<char16_t>(*at);
    return result;
}

}  // namespace orvanecam::sdk
