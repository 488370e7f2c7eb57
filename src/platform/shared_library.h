#pragma once
// Loading a dynamic library by path and finding its exports.
#include <optional>
#include <string>

namespace orvanecam::platform {

class SharedLibrary {
  public:
    // Loads the library at path (UTF-8); nothing when it cannot be loaded.
    static std::optional<SharedLibrary> Load(const std::string& path);

    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&&) = delete;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary();

    // The exported symbol's address, or null.
    void* Symbol(const char* name) const;

  private:
    explicit SharedLibrary(void* native) : m_native(native) {}
    void* m_native;
};

}  // namespace orvanecam::platform
