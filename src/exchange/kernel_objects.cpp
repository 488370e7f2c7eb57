#include "exchange/kernel_objects.h"

namespace orvanecam::exchange {

std::optional<platform::SharedMemory> KernelObjects::CreateOrOpenBlockMapping() {
    return platform::SharedMemory::CreateOrOpen(m_block, kBlockBytes);
}

std::optional<platform::MappedView> KernelObjects::MapWholeBlock(
    const platform::SharedMemory& mapping) {
    return mapping.MapAll();
}

std::optional<platform::NamedEvent> KernelObjects::CreateOrOpenFrameEvent() {
    return platform::NamedEvent::CreateOrOpen(m_event);
}

std::optional<platform::NamedEvent> KernelObjects::OpenExistingFrameEvent() {
    return platform::NamedEvent::OpenExisting(m_event);
}

std::optional<platform::SharedMemory> KernelObjects::OpenPreferredBlockMapping() {
    return platform::SharedMemory::OpenPreferred(m_block, kBlockBytes);
}

std::optional<platform::NamedEvent> KernelObjects::OpenPreferredFrameEvent() {
    return platform::NamedEvent::OpenPreferred(m_event);
}

}  // namespace orvanecam::exchange
