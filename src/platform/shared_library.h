#pragma once
// Loading a dynamic library by path and finding its exports.
#include <optional>
#include <string>
#include <utility>

#include "platform/scoped_handle.h"

namespace orvanecam::platform {

class SharedLibrary {
  public:
    // Loads the library at path (UTF-8); nothing when it cannot be loaded.
    static std::optional<SharedLibrary> Load(const std::string& path);

    // The exported symbol's address, or null.
    void* Symbol(const char* name) const;

  private:
    explicit SharedLibrary(void* native) : m_library(native) {}
    ScopedHandle<LibraryHandleTraits> m_library;
};

}  // namespace orvanecam::platform
