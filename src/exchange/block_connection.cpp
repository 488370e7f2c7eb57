#include "exchange/block_connection.h"

#include "exchange/block_lifecycle.h"
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
    if (openFirst) m_event = m_objects.OpenExistingFrameEvent();
    if (!m_event) m_event = m_objects.CreateOrOpenFrameEvent();
    if (!m_event) {
        RecordFailure();
        return false;
    }
    m_eventPointer.store(&*m_event, std::memory_order_release);
    return true;
}

}  // namespace orvanecam::exchange
