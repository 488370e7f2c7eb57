#include "producer/text_rules.h"

namespace orvanecam::producer {

std::u16string TextOf(const OrvaneCamChar16* text) {
    std::u16string copy;
    if (text == nullptr) return copy;
    for (const OrvaneCamChar16* at = text; *at != 0; ++at) copy += static_cast<char16_t>(*at);
    return copy;
}

}  // namespace orvanecam::producer
