#include "platform/shared_memory.h"

#include <sys/mman.h>

#include <cerrno>

#include "platform/last_error.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/posix/shared_object.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {

std::optional<SharedMemory> SharedMemory::CreateOrOpen(std::string_view baseName,
                                                       std::uint64_t size) {
    auto object = OpenSharedObject(baseName, size, true);
    if (!object) return std::nullopt;
    return SharedMemory(object->fd, size, object->created, std::move(object->name));
}

std::optional<SharedMemory> SharedMemory::FromOpened(std::intptr_t native, std::uint64_t size,
                                                     std::string name) {
    return SharedMemory(native, size, false, std::move(name));
}

std::optional<SharedMemory> SharedMemory::OpenExisting(std::string_view baseName,
                                                       std::uint64_t size) {
    auto object = OpenSharedObject(baseName, size, false);
    if (!object) return std::nullopt;
    return FromOpened(object->fd, size, std::move(object->name));
}

// One namespace here: nothing is preferred, and nothing is a fallback.
std::optional<SharedMemory> SharedMemory::OpenPreferred(std::string_view, std::uint64_t) {
    SetThreadLastError(kErrorFileNotFound);
    return std::nullopt;
}

bool SharedMemory::InFallbackNamespace() const {
    return false;
}

std::optional<MappedView> SharedMemory::MapAll() const {
    void* data = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_SHARED,
                      static_cast<int>(m_handle.Get()), 0);
    if (data == MAP_FAILED) {
        SetLastErrorFromErrno(errno);
        return std::nullopt;
    }
    return MappedView(static_cast<std::uint8_t*>(data), m_size);
}

}  // namespace orvanecam::platform
