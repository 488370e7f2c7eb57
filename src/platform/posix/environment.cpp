#include "platform/environment.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace orvanecam::platform {

std::optional<std::string> GetEnvironmentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

void SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name.c_str(), value->c_str(), 1);
    } else {
        unsetenv(name.c_str());
    }
}

const char* ExecutableSuffix() {
    return "";
}

}  // namespace orvanecam::platform
