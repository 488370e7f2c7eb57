#pragma once
// The platform calls through which the exchange obtains its block and event. Tests replace
// them to inject failures.
#include <optional>
#include <string>

#include "exchange/block_layout.h"
#include "platform/named_event.h"
#include "platform/shared_memory.h"

namespace orvanecam::exchange {

// The block and event of one camera, by its names.
class KernelObjects {
  public:
    explicit KernelObjects(const ObjectNames& names = kFirstCameraObjects)
        : m_block(names.block), m_event(names.event) {}
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

  private:
    std::string m_block;
    std::string m_event;
};

// The real objects of the camera named so, shared by its process-wide publisher and reader; made
// at the first use, so a process maps only the blocks of the cameras it uses.
KernelObjects& SystemKernelObjects(const ObjectNames& names = kFirstCameraObjects);

}  // namespace orvanecam::exchange
