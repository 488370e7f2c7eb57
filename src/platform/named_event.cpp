#include "platform/named_event.h"

namespace orvanecam::platform {

std::optional<NamedEvent> NamedEvent::CreateOrOpen(std::string_view baseName) {
    return Open(baseName, Reach::kCreateOrOpen);
}

std::optional<NamedEvent> NamedEvent::OpenExisting(std::string_view baseName) {
    return Open(baseName, Reach::kOpenAnywhere);
}

std::optional<NamedEvent> NamedEvent::OpenPreferred(std::string_view baseName) {
    return Open(baseName, Reach::kOpenPreferred);
}

}  // namespace orvanecam::platform
