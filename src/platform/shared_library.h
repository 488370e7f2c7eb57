#pragma once
// Loading a dynamic library by path and finding its exports.
#include <optional>
#include <string>
#include <utility>

namespace orvanecam::platform {

class SharedLibrary {
  public:
    // Loads the library at path (UTF-8); nothing when it cannot be loaded.
    static std::optional<SharedLibrary> Load(const std::string& path);

    SharedLibrary(SharedLibrary&& other) noexcept;
    // The library this held goes with other.
    SharedLibrary& operator=(SharedLibrary&& other) noexcept {
        std::swap(m_native, other.m_native);
        return *this;
    }
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
