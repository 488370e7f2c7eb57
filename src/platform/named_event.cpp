#include "platform/named_event.h"

namespace orvanecam::platform {

std::optional<NamedEvent> NamedEvent::CreateOrOpen(std::string_view baseName) {
    return Open(baseName, true);
}

std::optional<NamedEvent> NamedEvent::OpenExisting(std::string_view baseName) {
    return Open(baseName, false);
}

}  // namespace orvanecam::platform
