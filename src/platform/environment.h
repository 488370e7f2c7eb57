#pragma once
// Environment variables and the running program's location.
#include <optional>
#include <string>

namespace orvanecam::platform {

std::optional<std::string> GetEnvironmentValue(const std::string& name);
// Sets (or, with no value, removes) name for this process and the children it starts.
void SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value);
// The folder holding the running executable (ExecutableFolder in UTF-8), without a trailing
// separator; "." when it cannot be found.
std::string ExecutableDirectory();
// File name suffix of executables: ".exe" on Windows, empty elsewhere.
const char* ExecutableSuffix();

}  // namespace orvanecam::platform
