#include "exchange/block_connection.h"

#include "exchange/block_lifecycle.h"
#include "platform/clock.h"
#include "platform/last_error.h"
#include "platform/win32_errors.h"

namespace orvanecam::exchange {

void BlockConnection::RecordFailure() {
    if (m_failure != 0) return;
    const std::uint32_t error = platform::ThreadLastError();
    m_failure = error != 0 ? error : platform::kErrorOpenFailed;
}

bool BlockConnection::EnsureMapping() {
    if (m_mapping) return true;
    m_mapping = m_objects.CreateOrOpenBlockMapping();
    if (!m_mapping) {
        RecordFailure();
        return false;
    }
    m_createdUninitialised = m_mapping->Created();
    return true;
}

bool BlockConnection::EnsureView() {
    if (Block() != nullptr) return true;
    if (!EnsureMapping()) return false;
    m_view = m_objects.MapWholeBlock(*m_mapping);
    if (!m_view) {
        RecordFailure();
        return false;
    }
    auto* block = reinterpret_cast<SharedBlock*>(m_view->Data());
    if (m_createdUninitialised) {
        InitialiseCreatedBlock(*block);
        m_createdUninitialised = false;
    } else {
        WaitUntilBlockReady(*block);
    }
    m_block.store(block, std::memory_order_release);
    return true;
}

bool BlockConnection::EnsureEvent(bool openFirst) {
    if (Event() != nullptr) return true;
    std::lock_guard<std::mutex> lock(m_eventMutex);
    // Once published, the event is never replaced: other threads may be waiting on it.
    if (Event() != nullptr) return true;
    std::optional<platform::NamedEvent> event;
    if (openFirst) event = m_objects.OpenExistingFrameEvent();
    if (!event) event = m_objects.CreateOrOpenFrameEvent();
    if (!event) {
        RecordFailure();
        return false;
    }
    m_event = std::make_unique<platform::NamedEvent>(std::move(*event));
    m_eventPointer.store(m_event.get(), std::memory_order_release);
    return true;
}

SharedBlock* BlockConnection::MoveToPreferredBlock() {
    constexpr std::int64_t kLookInterval = platform::kUnitsPerSecond;  // 1 s
    std::lock_guard<std::mutex> lock(m_moveMutex);
    if (!m_mapping || !m_view || !m_mapping->InFallbackNamespace()) return nullptr;
    const std::int64_t now = platform::MonotonicTime100ns();
    if (now < m_nextPreferredLook) return nullptr;
    m_nextPreferredLook = now + kLookInterval;
    auto mapping = m_objects.OpenPreferredBlockMapping();
    if (!mapping) return nullptr;
    auto view = m_objects.MapWholeBlock(*mapping);
    if (!view) return nullptr;
    // A side without its event yet opens it later, where the block now is.
    std::lock_guard<std::mutex> eventLock(m_eventMutex);
    std::optional<platform::NamedEvent> event;
    if (m_event) {
        event = m_objects.OpenPreferredFrameEvent();
        if (!event) return nullptr;
    }
    auto* block = reinterpret_cast<SharedBlock*>(view->Data());
    WaitUntilBlockReady(*block);

    SharedBlock* left = Block();
    m_retired.push_back(Retired{std::move(*m_mapping), std::move(*m_view), std::move(m_event)});
    m_mapping = std::move(mapping);
    m_view = std::move(view);
    if (event) {
        m_event = std::make_unique<platform::NamedEvent>(std::move(*event));
        m_eventPointer.store(m_event.get(), std::memory_order_release);
    }
    m_block.store(block, std::memory_order_release);
    return left;
}

}  // namespace orvanecam::exchange
