#pragma once
// The registry: keys under the current user's hive, the classes root and the machine hive (read
// by services such as the camera frame server), in the 64- or 32-bit
// view, with string values. Every operation returns a Win32 error code (0 on success). Windows
// uses the system registry; other systems a file-backed store (see posix/registry.cpp).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/scoped_handle.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {

// The classes root is what Windows shows of the machine's classes ("Software\Classes" of the
// machine's hive) and the current user's own classes (of the user's hive) merged, the user's keys
// over the machine's; kMachineClasses and kUserClasses are each alone.
enum class RegistryRoot {
    kCurrentUser,
    kClassesRoot,
    kLocalMachine,
    kMachineClasses,
    kUserClasses,
};
enum class RegistryView { k64Bit, k32Bit };
// The view this build's own processes see by default, and so the one COM looks up this module's
// class and device keys in: a 32-bit process reads the 32-bit view.
inline constexpr RegistryView kOwnRegistryView =
    sizeof(void*) == 8 ? RegistryView::k64Bit : RegistryView::k32Bit;
// The views that hold different keys here: both on Windows, one in the file-backed store.
std::vector<RegistryView> DistinctRegistryViews();
// The rights a key is opened with: the narrowest each use needs, so that a key whose access list
// grants only those still works.
enum class RegistryAccess {
    kQueryValue,  // read values
    kSetValue,    // write values (and read them)
    kFull,        // create and delete subkeys too
};

// Where the file-backed store keeps its keys, for tests and demos (ignored on Windows).
inline constexpr const char* kRegistryRootVariable = "ORVANECAM_REGISTRY_ROOT";

class RegistryKey {
  public:
    // Opens an existing key (path with backslashes, below root).
    static std::optional<RegistryKey> Open(RegistryRoot root, const std::string& path,
                                           RegistryView view, RegistryAccess access,
                                           std::uint32_t& error);
    // Opens the key with access, creating it and any missing parents.
    static std::optional<RegistryKey> Create(RegistryRoot root, const std::string& path,
                                             RegistryView view, RegistryAccess access,
                                             std::uint32_t& error);

    // name "" is the key's default value.
    std::uint32_t SetString(const std::string& name, const std::u16string& value);
    // Reads a REG_SZ value of at most maxBytes bytes (terminator included, as stored):
    // kErrorMoreData when it is longer, kErrorFileNotFound when absent, kErrorUnsupportedType for
    // another type. The returned text ends at its first zero unit.
    std::uint32_t QueryString(const std::string& name, std::size_t maxBytes,
                              std::u16string& value) const;
    // Deletes the subkey path below this key with everything under it.
    std::uint32_t DeleteTree(const std::string& subkey);
    // Deletes the key at path below root with everything under it: 0 also when it, or its
    // parent, is not there; kErrorInvalidParameter for an empty path (the root itself).
    static std::uint32_t DeleteTreeAt(RegistryRoot root, const std::string& path,
                                      RegistryView view);
    // Deletes the key at path below root when it holds neither values nor subkeys: 0 also when
    // it is not there or holds something.
    static std::uint32_t DeleteIfEmpty(RegistryRoot root, const std::string& path,
                                       RegistryView view);
    std::vector<std::string> SubkeyNames() const;
    // Whether the key holds neither values nor subkeys.
    bool IsEmpty() const;

  private:
    explicit RegistryKey(std::intptr_t native, std::string location)
        : m_key(native), m_location(std::move(location)) {}

    ScopedHandle<RegistryKeyTraits> m_key;  // the HKEY on Windows; none on the file store
    std::string m_location;                 // the key's folder in the file-backed store
};

// Where the classes are stored below the machine's hive and the user's.
inline constexpr const char* kClassesBelowHive = "Software\\Classes";

}  // namespace orvanecam::platform
