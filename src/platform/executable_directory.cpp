#include "platform/environment.h"
#include "platform/paths.h"
#include "platform/utf16.h"

namespace orvanecam::platform {

std::string ExecutableDirectory() {
    const auto folder = ExecutableFolder();
    return folder ? Utf16ToUtf8(*folder) : std::string(".");
}

}  // namespace orvanecam::platform
