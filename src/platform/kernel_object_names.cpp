#include "platform/kernel_object_names.h"

#include <algorithm>

#include "platform/environment.h"

namespace orvanecam::platform {
namespace {

bool IsAcceptableSuffix(const std::string& suffix) {
    constexpr std::size_t kMaxSuffixLength = 64;
    return suffix.size() <= kMaxSuffixLength &&
           std::all_of(suffix.begin(), suffix.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_' || c == '.';
           });
}

}  // namespace

std::string KernelObjectName(std::string_view baseName) {
    std::string name(baseName);
    const auto suffix = GetEnvironmentValue(kObjectSuffixVariable);
    if (suffix && IsAcceptableSuffix(*suffix)) name += *suffix;
    return name;
}

}  // namespace orvanecam::platform
