#pragma once
// File path arguments of the exported functions: how they are cleaned and resolved.
#include <cstdint>
#include <string>

#include <orvanecam/orvanecam.h>

namespace orvanecam::producer {

// Outer white space removed, then one pair of enclosing double or single quotes.
std::u16string NormalizePathText(const std::u16string& text);

// The full path (at most 1,039 units): an absolute path as it stands, a relative one against the
// folder of the host process's executable (not the current directory). False, with full empty,
// when any step fails.
bool ResolveFullPath(const std::u16string& path, std::u16string& full);

// A path argument as an existing file's full path: 0, 87 for no path (null, or nothing left once
// normalised), 161 (or the system's reason) when it cannot be resolved, 2 when nothing is there.
std::uint32_t ResolveExistingFile(const OrvaneCamChar16* path, std::u16string& full);

}  // namespace orvanecam::producer
