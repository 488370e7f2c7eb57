#include <windows.h>

#include "platform/debug_output.h"

void orvanecam::platform::WriteDebugOutput(const char* line) {
    OutputDebugStringA(line);
}
