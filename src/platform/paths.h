#pragma once
// File paths as producers pass them (UTF-16), resolved the way Windows resolves them: relative
// paths, the host executable's folder, full path names of bounded length, existence.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvanecam::platform {

// The longest full path accepted, in UTF-16 units (a 1040-unit buffer with its terminator).
inline constexpr std::size_t kMaxPathUnits = 1039;

bool IsRelativePath(std::u16string_view path);
// The folder of the host process's executable; nothing when it cannot be found or is too long.
std::optional<std::u16string> ExecutableFolder();
// folder joined with a relative path; nothing when the result cannot be formed.
std::optional<std::u16string> CombinePath(std::u16string_view folder, std::u16string_view relative);
// The absolute form of path with "." and ".." resolved (relative to the current directory);
// nothing when it is empty or longer than kMaxPathUnits.
std::optional<std::u16string> FullPathName(std::u16string_view path);
bool PathExists(std::u16string_view path);

}  // namespace orvanecam::platform
