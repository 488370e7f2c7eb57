#pragma once
// Named shared memory, shared by processes of any user. The object lives while any process
// has it open; the first opener after that gets a fresh zero-filled object.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvanecam::platform {

// A whole shared-memory object mapped into this process; unmapped on destruction.
class MappedView {
  public:
    MappedView(MappedView&& other) noexcept;
    MappedView& operator=(MappedView&& other) noexcept;
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    ~MappedView();

    std::uint8_t* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

  private:
    friend class SharedMemory;
    MappedView(std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    void Unmap();

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
};

class SharedMemory {
  public:
    // Creates the object named KernelObjectName(baseName), zero-filled, or opens it when it
    // exists. On failure returns nothing and sets the thread's last error.
    static std::optional<SharedMemory> CreateOrOpen(std::string_view baseName, std::uint64_t size);

    SharedMemory(SharedMemory&& other) noexcept;
    SharedMemory& operator=(SharedMemory&& other) noexcept;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    ~SharedMemory();

    // Whether the call that produced this handle created the object (rather than opening it).
    bool Created() const { return m_created; }
    // The platform's full name of the object, namespace included.
    const std::string& Name() const { return m_name; }
    // Maps the whole object with read/write access; on failure sets the thread's last error.
    std::optional<MappedView> MapAll() const;

  private:
    SharedMemory(std::intptr_t native, std::uint64_t size, bool created, std::string name)
        : m_native(native), m_size(size), m_created(created), m_name(std::move(name)) {}
    void Close();

    static constexpr std::intptr_t kNoHandle = -1;

    std::intptr_t m_native;  // HANDLE on Windows, file descriptor elsewhere
    std::uint64_t m_size;
    bool m_created;
    std::string m_name;
};

}  // namespace orvanecam::platform
