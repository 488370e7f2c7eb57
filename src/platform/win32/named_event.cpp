#include "platform/named_event.h"

#include <windows.h>

#include "platform/win32/kernel_namespace.h"
#include "platform/win32/text.h"

namespace orvanecam::platform {
namespace {

HANDLE AsHandle(std::intptr_t native) {
    return reinterpret_cast<HANDLE>(native);
}

HANDLE OpenEventForUse(const wchar_t* name) {
    return OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name);
}

}  // namespace

std::optional<NamedEvent> NamedEvent::Open(std::string_view baseName, Reach reach) {
    const auto create = [](const wchar_t* name, SECURITY_ATTRIBUTES* security) {
        return CreateEventW(security, TRUE, FALSE, name);
    };
    NamedHandle event =
        reach == Reach::kCreateOrOpen   ? CreateInSharedNamespace(baseName, create, OpenEventForUse)
        : reach == Reach::kOpenAnywhere ? OpenInSharedNamespace(baseName, OpenEventForUse)
                                        : OpenInGlobalNamespace(baseName, OpenEventForUse);
    if (event.handle == nullptr) return std::nullopt;
    return NamedEvent(reinterpret_cast<std::intptr_t>(event.handle), nullptr, 0,
                      WideToUtf8(event.name));
}

void NamedEvent::Set() {
    SetEvent(AsHandle(m_handle.Get()));
}

void NamedEvent::Reset() {
    ResetEvent(AsHandle(m_handle.Get()));
}

bool NamedEvent::Wait(std::uint32_t timeoutMs) {
    return WaitForSingleObject(AsHandle(m_handle.Get()), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace orvanecam::platform
