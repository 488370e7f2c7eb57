#include "api/module_block.h"

#include <orvanecam/orvanecam.h>

#include "support/isolated_names.h"

namespace orvanecam::testing {

exchange::FrameReader& ModuleReader() {
    static exchange::FrameReader reader;
    return reader;
}

bool OpenModuleBlock() {
    static const bool opened = [] {
        UseFreshObjectNames();
        return InitVcam() == 0u && ModuleReader().OpenReaderBlock();
    }();
    return opened;
}

}  // namespace orvanecam::testing
