#pragma once
// The platform calls through which the exchange obtains its block and event. Tests replace
// them to inject failures.
#include <optional>

#include "platform/named_event.h"
#include "platform/shared_memory.h"

namespace orvanecam::exchange {

class KernelObjects {
  public:
    virtual ~KernelObjects() = default;
    // Each sets the thread's last error when it returns nothing.
    virtual std::optional<platform::SharedMemory> CreateOrOpenBlockMapping();
    virtual std::optional<platform::MappedView> MapWholeBlock(
        const platform::SharedMemory& mapping);
    virtual std::optional<platform::NamedEvent> CreateOrOpenFrameEvent();
    virtual std::optional<platform::NamedEvent> OpenExistingFrameEvent();
    // The block and event where every session meets, when they exist there.
    virtual std::optional<platform::SharedMemory> OpenPreferredBlockMapping();
    virtual std::optional<platform::NamedEvent> OpenPreferredFrameEvent();
};

// The real objects, shared by the process-wide publisher and reader.
KernelObjects& SystemKernelObjects();

}  // namespace orvanecam::exchange
