#pragma once
// The registry writes and deletes that registration is made of, all below the classes root (or
// the user's own classes) in the view of this module's own bitness (a 32-bit and a 64-bit module
// are registered side by side), and all answering with an HRESULT.
#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "platform/win32_errors.h"
#include "sdk/directshow.h"

namespace orvanecam::com {

// A registry error as an HRESULT (0 stays S_OK).
inline HRESULT HresultFromError(std::uint32_t error) {
    return static_cast<HRESULT>(platform::HresultFromWin32(error));
}
// Whether result says a key (or its path) is not there.
bool IsMissingKeyResult(HRESULT result);

// Creates the key at path below classes (and its parents) and stores text as the value name
// ("" = default).
HRESULT SetRegistryString(platform::RegistryRoot classes, const std::string& path,
                          const std::string& valueName, const std::u16string& text);

// Deletes the key at path below classes with its subtree; a key or parent that is not there is
// success, an empty path E_FAIL.
HRESULT DeleteRegistryTree(platform::RegistryRoot classes, const std::string& path);

}  // namespace orvanecam::com
