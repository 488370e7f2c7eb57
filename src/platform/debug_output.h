#pragma once
// A diagnostic channel: the debugger's output on Windows, standard error elsewhere.
namespace orvanecam::platform {

void WriteDebugOutput(const char* line);

}  // namespace orvanecam::platform
