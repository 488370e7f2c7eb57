#include "platform/scoped_handle.h"

#include <windows.h>

namespace orvanecam::platform {

void KernelHandleTraits::Close(Native handle) {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

void LibraryHandleTraits::Close(Native handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}

void SharedObjectTraits::Close(Native handle) const {
    CloseHandle(reinterpret_cast<HANDLE>(handle));
}

void MappedViewTraits::Close(Native data) const {
    UnmapViewOfFile(data);
}

void RegistryKeyTraits::Close(Native handle) {
    RegCloseKey(reinterpret_cast<HKEY>(handle));
}

}  // namespace orvanecam::platform
