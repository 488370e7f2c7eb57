#pragma once
// An identifier as the SDK's GUID and as registry text, in both builds.
#include <string>

#include "sdk/directshow.h"

namespace orvanecam::sdk {

// An identifier laid out as a GUID (data1, data2, data3 and the eight bytes of data4) as the
// SDK's GUID; the camera's class ids are kept so, free of the SDK.
template <class Identifier>
constexpr GUID GuidOf(const Identifier& id) {
    return {id.data1,
            id.data2,
            id.data3,
            {id.data4[0], id.data4[1], id.data4[2], id.data4[3], id.data4[4], id.data4[5],
             id.data4[6], id.data4[7]}};
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case); empty when it cannot be formatted.
inline std::u16string GuidText(REFGUID guid) {
    OLECHAR text[64] = {};
    if (StringFromGUID2(guid, text, 64) == 0) return {};
    std::u16string result;
    for (const OLECHAR* at = text; *at != 0; ++at) result += static_cast<char16_t>(*at);
    return result;
}

}  // namespace orvanecam::sdk
