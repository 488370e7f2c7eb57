#include "producer/path_rules.h"

#include "platform/paths.h"
#include "platform/utf16.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"

namespace orvanecam::producer {

std::u16string NormalizePathText(const std::u16string& text) {
    std::u16string_view trimmed = platform::TrimWhiteSpace(text);
    if (trimmed.size() >= 2 && trimmed.front() == trimmed.back() &&
        (trimmed.front() == u'"' || trimmed.front() == u'\'')) {
        trimmed = trimmed.substr(1, trimmed.size() - 2);
    }
    return std::u16string(trimmed);
}

bool ResolveFullPath(const std::u16string& path, std::u16string& full) {
    full.clear();
    if (path.empty()) return false;
    std::optional<std::u16string> resolved;
    if (!platform::IsRelativePath(path)) {
        resolved = platform::FullPathName(path);
    } else if (const auto folder = platform::ExecutableFolder()) {
        if (const auto joined = platform::CombinePath(*folder, path)) {
            resolved = platform::FullPathName(*joined);
        }
    }
    if (!resolved) return false;
    full = std::move(*resolved);
    return true;
}

std::uint32_t ResolveExistingFile(const OrvaneCamChar16* path, std::u16string& full) {
    const std::u16string text =
        path == nullptr ? std::u16string() : NormalizePathText(TextOf(path));
    if (text.empty()) return platform::kErrorInvalidParameter;
    if (!ResolveFullPath(text, full)) return platform::kErrorBadPathname;
    return platform::PathExists(full) ? 0u : platform::kErrorFileNotFound;
}

}  // namespace orvanecam::producer
