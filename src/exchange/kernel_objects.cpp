#include "exchange/kernel_objects.h"

#include "exchange/block_layout.h"

namespace orvanecam::exchange {

std::optional<platform::SharedMemory> KernelObjects::CreateOrOpenBlockMapping() {
    return platform::SharedMemory::CreateOrOpen(kBlockName, kBlockBytes);
}

std::optional<platform::MappedView> KernelObjects::MapWholeBlock(
    const platform::SharedMemory& mapping) {
    return mapping.MapAll();
}

std::optional<platform::NamedEvent> KernelObjects::CreateOrOpenFrameEvent() {
    return platform::NamedEvent::CreateOrOpen(kNewFrameEventName);
}

std::optional<platform::NamedEvent> KernelObjects::OpenExistingFrameEvent() {
    return platform::NamedEvent::OpenExisting(kNewFrameEventName);
}

std::optional<platform::SharedMemory> KernelObjects::OpenPreferredBlockMapping() {
    return platform::SharedMemory::OpenPreferred(kBlockName, kBlockBytes);
}

std::optional<platform::NamedEvent> KernelObjects::OpenPreferredFrameEvent() {
    return platform::NamedEvent::OpenPreferred(kNewFrameEventName);
}

KernelObjects& SystemKernelObjects() {
    static KernelObjects objects;
    return objects;
}

}  // namespace orvanecam::exchange
