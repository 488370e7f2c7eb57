#include "platform/paths.h"

#include <filesystem>

#include "platform/utf16.h"

namespace orvanecam::platform {
namespace {

namespace fs = std::filesystem;

fs::path ToPath(std::u16string_view path) {
    return fs::path(Utf16ToUtf8(path));
}

std::optional<std::u16string> Bounded(const fs::path& path) {
    std::u16string text = Utf8ToUtf16(path.string());
    if (text.empty() || text.size() > kMaxPathUnits) return std::nullopt;
    return text;
}

}  // namespace

bool IsRelativePath(std::u16string_view path) {
    return path.empty() || path.front() != u'/';
}

std::optional<std::u16string> ExecutableFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::nullopt;
    return Bounded(executable.parent_path());
}

std::optional<std::u16string> CombinePath(std::u16string_view folder,
                                          std::u16string_view relative) {
    return Bounded(ToPath(folder) / ToPath(relative));
}

std::optional<std::u16string> FullPathName(std::u16string_view path) {
    if (path.empty()) return std::nullopt;
    std::error_code error;
    const fs::path absolute = fs::absolute(ToPath(path), error);
    if (error) return std::nullopt;
    return Bounded(absolute.lexically_normal());
}

bool PathExists(std::u16string_view path) {
    std::error_code error;
    return !path.empty() && fs::exists(ToPath(path), error);
}

}  // namespace orvanecam::platform
