#include "platform/named_event.h"

#include <linux/futex.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/clock.h"
#include "platform/last_error.h"
#include "platform/posix/errno_to_win32.h"
#include "platform/posix/shared_object.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {
namespace {

// The event is one 32-bit word (1 = signalled) in a shared page; waiters sleep on it with a
// process-shared futex.
constexpr std::uint64_t kEventObjectBytes = 4096;

std::atomic_ref<std::uint32_t> Word(void* state) {
    return std::atomic_ref<std::uint32_t>(*static_cast<std::uint32_t*>(state));
}

long Futex(void* word, int operation, std::uint32_t value, const timespec* timeout) {
    return syscall(SYS_futex, word, operation, value, timeout, nullptr, 0);
}

}  // namespace

std::optional<NamedEvent> NamedEvent::Open(std::string_view baseName, Reach reach) {
    // One namespace here: nothing is preferred over what a plain open finds.
    if (reach == Reach::kOpenPreferred) {
        SetThreadLastError(kErrorFileNotFound);
        return std::nullopt;
    }
    auto object = OpenSharedObject(baseName, kEventObjectBytes, reach == Reach::kCreateOrOpen);
    if (!object) return std::nullopt;
    void* state =
        mmap(nullptr, kEventObjectBytes, PROT_READ | PROT_WRITE, MAP_SHARED, object->fd, 0);
    if (state == MAP_FAILED) {
        const int error = errno;
        CloseSharedObject(object->fd, object->name);
        SetLastErrorFromErrno(error);
        return std::nullopt;
    }
    return NamedEvent(object->fd, state, kEventObjectBytes, std::move(object->name));
}

void NamedEvent::Set() {
    // Nobody sleeps on an event that was already set, so only the first Set wakes.
    if (Word(m_state.Get()).exchange(1) == 0) Futex(m_state.Get(), FUTEX_WAKE, INT32_MAX, nullptr);
}

void NamedEvent::Reset() {
    Word(m_state.Get()).store(0);
}

bool NamedEvent::Wait(std::uint32_t timeoutMs) {
    const std::uint64_t deadline = TickCountMs() + timeoutMs;
    for (;;) {
        if (Word(m_state.Get()).load() != 0) return true;
        const std::uint64_t now = TickCountMs();
        if (now >= deadline) return false;
        const std::uint64_t remaining = deadline - now;
        const timespec timeout{static_cast<time_t>(remaining / 1000u),
                               static_cast<long>(remaining % 1000u) * 1000000L};
        // Returns at once if the word is no longer 0, so a Set between the load and here is seen.
        Futex(m_state.Get(), FUTEX_WAIT, 0, &timeout);
    }
}

}  // namespace orvanecam::platform
