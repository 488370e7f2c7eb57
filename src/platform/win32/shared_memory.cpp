#include "platform/shared_memory.h"

#include <windows.h>

#include "platform/win32/kernel_namespace.h"
#include "platform/win32/text.h"

namespace orvanecam::platform {

namespace {

HANDLE OpenMapping(const wchar_t* name) {
    return OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name);
}

}  // namespace

std::optional<SharedMemory> SharedMemory::CreateOrOpen(std::string_view baseName,
                                                       std::uint64_t size) {
    const auto create = [size](const wchar_t* name, SECURITY_ATTRIBUTES* security) {
        // Page-file backed: the system hands out the pages zero-filled.
        return CreateFileMappingW(INVALID_HANDLE_VALUE, security, PAGE_READWRITE,
                                  static_cast<DWORD>(size >> 32),
                                  static_cast<DWORD>(size & 0xFFFFFFFFu), name);
    };
    NamedHandle mapping = CreateInSharedNamespace(baseName, create, OpenMapping);
    if (mapping.handle == nullptr) return std::nullopt;
    return SharedMemory(reinterpret_cast<std::intptr_t>(mapping.handle), size, !mapping.existed,
                        WideToUtf8(mapping.name));
}

std::optional<SharedMemory> SharedMemory::FromOpened(std::intptr_t native, std::uint64_t size,
                                                     std::string name) {
    if (native == 0) return std::nullopt;
    return SharedMemory(native, size, false, std::move(name));
}

std::optional<SharedMemory> SharedMemory::OpenPreferred(std::string_view baseName,
                                                        std::uint64_t size) {
    const NamedHandle mapping = OpenInGlobalNamespace(baseName, OpenMapping);
    return FromOpened(reinterpret_cast<std::intptr_t>(mapping.handle), size,
                      WideToUtf8(mapping.name));
}

std::optional<SharedMemory> SharedMemory::OpenExisting(std::string_view baseName,
                                                       std::uint64_t size) {
    const NamedHandle mapping = OpenInSharedNamespace(baseName, OpenMapping);
    return FromOpened(reinterpret_cast<std::intptr_t>(mapping.handle), size,
                      WideToUtf8(mapping.name));
}

bool SharedMemory::InFallbackNamespace() const {
    return IsLocalName(Name());
}

std::optional<MappedView> SharedMemory::MapAll() const {
    void* data = MapViewOfFile(reinterpret_cast<HANDLE>(m_handle.Get()), FILE_MAP_ALL_ACCESS, 0, 0,
                               static_cast<SIZE_T>(m_size));
    if (data == nullptr) return std::nullopt;
    return MappedView(static_cast<std::uint8_t*>(data), static_cast<std::size_t>(m_size));
}

}  // namespace orvanecam::platform
