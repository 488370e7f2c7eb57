#include "camera/trace.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "platform/debug_output.h"
#include "platform/environment.h"

namespace orvanecam::camera {
namespace {

bool TracingEnabled() {
    static const bool enabled =
        platform::GetEnvironmentValue("ORVANECAM_TRACE").value_or("") == "1";
    return enabled;
}

}  // namespace

void TraceLine(std::size_t capacity, const char* format, ...) {
    std::vector<char> line(capacity);
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line.data(), capacity, format, arguments);
    va_end(arguments);
    if (TracingEnabled()) platform::WriteDebugOutput(line.data());
}

}  // namespace orvanecam::camera
