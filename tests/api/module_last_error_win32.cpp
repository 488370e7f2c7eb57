#include "api/module_last_error.h"
#include "platform/last_error.h"

std::uint32_t orvanecam::testing::ModuleLastError() {
    return platform::ThreadLastError();
}
