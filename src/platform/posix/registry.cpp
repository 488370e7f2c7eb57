// The file-backed registry: a folder per key below a root folder (ORVANECAM_REGISTRY_ROOT, or the
// user's configuration folder), one file per value holding its type and UTF-16 data, written
// atomically. Names compare without regard to case, as on Windows; both views share the store.
#include "platform/registry.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/environment.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/process.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kStringType = 1;  // REG_SZ
constexpr const char* kDisplayNameFile = ".name";

fs::path StoreRoot() {
    if (const auto root = GetEnvironmentValue(kRegistryRootVariable)) return *root;
    if (const auto config = GetEnvironmentValue("XDG_CONFIG_HOME")) {
        return fs::path(*config) / "orvanecam" / "registry";
    }
    return fs::path(GetEnvironmentValue("HOME").value_or(".")) / ".config" / "orvanecam" /
           "registry";
}

// A file name for a key or value name: lower case, with anything unusual escaped.
std::string Encode(const std::string& name) {
    std::string encoded;
    for (const unsigned char c : name) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ' ' ||
            c == '{' || c == '}' || (c == '.' && !encoded.empty())) {
            encoded += static_cast<char>(c);
        } else if (c >= 'A' && c <= 'Z') {
            encoded += static_cast<char>(c - 'A' + 'a');
        } else {
            constexpr char kHex[] = "0123456789abcdef";
            encoded += '%';
            encoded += kHex[c >> 4];
            encoded += kHex[c & 0xF];
        }
    }
    return encoded.empty() ? "@" : encoded;
}

// folder extended by a backslash-separated key path; nothing for an empty component.
std::optional<fs::path> Below(fs::path folder, const std::string& path) {
    std::size_t start = 0;
    while (start < path.size()) {
        const std::size_t end = std::min(path.find('\\', start), path.size());
        if (end == start) return std::nullopt;
        folder /= Encode(path.substr(start, end - start));
        start = end + 1;
    }
    return folder;
}

std::optional<fs::path> KeyFolder(RegistryRoot root, const std::string& path) {
    const bool user = root == RegistryRoot::kCurrentUser || root == RegistryRoot::kUserClasses;
    const fs::path hive = StoreRoot() / (user ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
    if (root == RegistryRoot::kCurrentUser || root == RegistryRoot::kLocalMachine) {
        return Below(hive, path);
    }
    // The classes root is the machine's classes: the store does not merge the user's in.
    const auto classes = Below(hive, kClassesBelowHive);
    return classes ? Below(*classes, path) : std::nullopt;
}

fs::path ValueFile(const std::string& location, const std::string& name) {
    return fs::path(location) / (Encode(name) + ".value");
}

// Writes bytes to path through a temporary file, so readers never see half a value.
std::uint32_t WriteAtomically(const fs::path& path, const std::string& bytes) {
    const fs::path temporary = path.string() + ".tmp" + std::to_string(CurrentProcessId());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) {
            return kErrorAccessDenied;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        fs::remove(temporary, error);
        return kErrorAccessDenied;
    }
    return kErrorSuccess;
}

std::uint32_t ErrorFrom(const std::error_code& error) {
    return Win32ErrorFromErrno(error.value());
}

}  // namespace

// The store keeps one set of keys for both views.
std::vector<RegistryView> DistinctRegistryViews() {
    return {kOwnRegistryView};
}

std::optional<RegistryKey> RegistryKey::Open(RegistryRoot root, const std::string& path,
                                             RegistryView, RegistryAccess, std::uint32_t& error) {
    const auto folder = KeyFolder(root, path);
    std::error_code status;
    if (!folder || !fs::is_directory(*folder, status)) {
        error = folder ? kErrorFileNotFound : kErrorInvalidParameter;
        return std::nullopt;
    }
    error = kErrorSuccess;
    return RegistryKey(RegistryKeyTraits::kNone, folder->string());
}

std::optional<RegistryKey> RegistryKey::Create(RegistryRoot root, const std::string& path,
                                               RegistryView, RegistryAccess, std::uint32_t& error) {
    const auto folder = KeyFolder(root, path);
    if (!folder) {
        error = kErrorInvalidParameter;
        return std::nullopt;
    }
    std::error_code status;
    fs::create_directories(*folder, status);
    if (status) {
        error = ErrorFrom(status);
        return std::nullopt;
    }
    // Remember each component's spelling for enumeration.
    fs::path walked = *folder;
    std::string rest = path;
    while (!rest.empty() && walked != StoreRoot()) {
        const auto slash = rest.rfind('\\');
        const std::string part = slash == std::string::npos ? rest : rest.substr(slash + 1);
        rest = slash == std::string::npos ? std::string() : rest.substr(0, slash);
        if (part.empty()) continue;
        if (!fs::exists(walked / kDisplayNameFile, status)) {
            WriteAtomically(walked / kDisplayNameFile, part);
        }
        walked = walked.parent_path();
    }
    error = kErrorSuccess;
    return RegistryKey(RegistryKeyTraits::kNone, folder->string());
}

std::uint32_t RegistryKey::SetString(const std::string& name, const std::u16string& value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes += static_cast<char>(kStringType >> shift);
    for (const char16_t unit : value) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    bytes += std::string(2, '\0');
    return WriteAtomically(ValueFile(m_location, name), bytes);
}

std::uint32_t RegistryKey::QueryString(const std::string& name, std::size_t maxBytes,
                                       std::u16string& value) const {
    value.clear();
    std::ifstream in(ValueFile(m_location, name), std::ios::binary);
    if (!in) return kErrorFileNotFound;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 4) return kErrorUnsupportedType;
    std::uint32_t type = 0;
    for (int i = 0; i < 4; ++i)
        type |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    if (type != kStringType) return kErrorUnsupportedType;
    const std::size_t dataBytes = bytes.size() - 4;
    if (dataBytes > maxBytes) return kErrorMoreData;
    for (std::size_t at = 4; at + 1 < bytes.size(); at += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[at]) |
                                                static_cast<unsigned char>(bytes[at + 1]) << 8);
        if (unit == 0) return kErrorSuccess;
        value += unit;
    }
    // Text that fills the whole buffer with no terminator may have been cut: not trusted.
    if (dataBytes >= maxBytes) {
        value.clear();
        return kErrorMoreData;
    }
    return kErrorSuccess;
}

std::uint32_t RegistryKey::DeleteTree(const std::string& subkey) {
    const auto target = Below(m_location, subkey);
    std::error_code error;
    if (!target || !fs::is_directory(*target, error)) return kErrorFileNotFound;
    if (!subkey.empty()) {
        fs::remove_all(*target, error);
        return error ? ErrorFrom(error) : kErrorSuccess;
    }
    // An empty subkey empties this key itself.
    for (const auto& entry : fs::directory_iterator(*target, error)) {
        if (entry.path().filename() != kDisplayNameFile) fs::remove_all(entry.path(), error);
    }
    return error ? ErrorFrom(error) : kErrorSuccess;
}

std::vector<std::string> RegistryKey::SubkeyNames() const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_location, error)) {
        if (!entry.is_directory(error)) continue;
        std::ifstream in(entry.path() / kDisplayNameFile, std::ios::binary);
        std::string name((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        names.push_back(name.empty() ? entry.path().filename().string() : name);
    }
    return names;
}

bool RegistryKey::IsEmpty() const {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(m_location, error)) {
        if (entry.path().filename() != kDisplayNameFile) return false;
    }
    return !error;
}

}  // namespace orvanecam::platform
