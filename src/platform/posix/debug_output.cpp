#include <cstdio>

#include "platform/debug_output.h"

void orvanecam::platform::WriteDebugOutput(const char* line) {
    std::fputs(line, stderr);
}
