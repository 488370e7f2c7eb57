#pragma once
// Where the shared kernel objects live on Windows. Producers and capture clients of different
// logon sessions meet in the Global\ namespace, but creating a Global\ object needs a privilege
// ordinary applications outside session 0 lack. When creation there is refused, both sides use
// the session's Local\ namespace instead; an existing Global\ object is always preferred.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace orvanecam::platform {

// Set to "1" to make creating new Global\ objects fail with access denied, as it does for an
// unprivileged process on Windows (Wine does not enforce the privilege).
inline constexpr const char* kRefuseGlobalCreateVariable = "ORVANECAM_REFUSE_GLOBAL_CREATE";

// A security-attributes record for the shared objects: everyone may use them, at medium
// integrity. Falls back to default security when the descriptor cannot be built.
class SharedObjectSecurity {
  public:
    SharedObjectSecurity();
    ~SharedObjectSecurity();
    SharedObjectSecurity(const SharedObjectSecurity&) = delete;
    SharedObjectSecurity& operator=(const SharedObjectSecurity&) = delete;
    SECURITY_ATTRIBUTES* Attributes() { return m_descriptor != nullptr ? &m_attributes : nullptr; }

  private:
    PSECURITY_DESCRIPTOR m_descriptor = nullptr;
    SECURITY_ATTRIBUTES m_attributes{};
};

struct NamedHandle {
    HANDLE handle = nullptr;
    bool existed = false;  // the create call opened an existing object
    std::wstring name;
};

// Runs create(fullName) in Global\ and, when that is refused, in Local\. open(fullName) tells
// whether a Global\ object already exists when refusal is injected for tests.
using CreateNamed = std::function<HANDLE(const wchar_t* name, SECURITY_ATTRIBUTES* security)>;
using OpenNamed = std::function<HANDLE(const wchar_t* name)>;

NamedHandle CreateInSharedNamespace(std::string_view baseName, const CreateNamed& create,
                                    const OpenNamed& open);

// Opens an existing object, trying Global\ first and then Local\.
NamedHandle OpenInSharedNamespace(std::string_view baseName, const OpenNamed& open);
// Opens an existing object in Global\ only.
NamedHandle OpenInGlobalNamespace(std::string_view baseName, const OpenNamed& open);
// Whether a full object name (UTF-8) is in Local\.
bool IsLocalName(std::string_view name);

}  // namespace orvanecam::platform
