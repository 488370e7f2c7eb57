#pragma once
// Names of the named kernel objects the module shares between processes.
#include <string>
#include <string_view>

namespace orvanecam::platform {

// Set to append a suffix to every kernel object name, so that test runs never meet each other
// or a real camera on the machine. Only letters, digits, '-', '_' and '.' are accepted.
inline constexpr const char* kObjectSuffixVariable = "ORVANECAM_OBJECT_SUFFIX";

// baseName plus the suffix from kObjectSuffixVariable, if any; the platform adds its namespace.
std::string KernelObjectName(std::string_view baseName);

}  // namespace orvanecam::platform
