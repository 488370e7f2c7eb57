#pragma once
// One side's handles on the block and the new-frame event. The producer and the reader of a
// process each own one, so a process that is both keeps them apart.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "exchange/block_layout.h"
#include "exchange/kernel_objects.h"

namespace orvanecam::exchange {

class BlockConnection {
  public:
    explicit BlockConnection(KernelObjects& objects) : m_objects(objects) {}

    // Each Ensure step keeps what it obtained; a failed step is retried by the next call and
    // records its system error (110 without one) unless an earlier failure is already recorded.
    bool EnsureMapping();
    // Maps the block and initialises it (as its creator) or waits until it is initialised.
    bool EnsureView();
    // Creates the event or opens it; with openFirst, an existing event is looked for first.
    bool EnsureEvent(bool openFirst);

    bool HasMapping() const { return m_mapping.has_value(); }
    // Published once obtained, so other threads may read them while one thread opens.
    SharedBlock* Block() const { return m_block.load(std::memory_order_acquire); }
    platform::NamedEvent* Event() const { return m_eventPointer.load(std::memory_order_acquire); }
    // The first failure recorded since ClearFailure, 0 for none.
    std::uint32_t FailureCode() const { return m_failure; }
    void ClearFailure() { m_failure = 0; }
    // The platform's name of the mapping, once held.
    std::string MappingName() const { return m_mapping ? m_mapping->Name() : std::string(); }

    // A process without the right to create objects every session sees holds a block of its own
    // session. Once a block where every session meets exists (a service made it), this switches
    // to that block and its event and returns the block it left, else null; it looks at most once
    // a second. What it leaves stays open and mapped as long as the connection, so a thread
    // still using the old block or waiting on the old event finishes safely.
    SharedBlock* MoveToPreferredBlock();

  private:
    struct Retired {
        platform::SharedMemory mapping;
        platform::MappedView view;
        std::unique_ptr<platform::NamedEvent> event;
    };

    void RecordFailure();

    KernelObjects& m_objects;
    std::optional<platform::SharedMemory> m_mapping;
    std::optional<platform::MappedView> m_view;
    std::unique_ptr<platform::NamedEvent> m_event;  // on the heap: its address outlives a move
    std::vector<Retired> m_retired;
    std::int64_t m_nextPreferredLook = 0;
    std::mutex m_moveMutex;
    std::atomic<SharedBlock*> m_block{nullptr};
    std::atomic<platform::NamedEvent*> m_eventPointer{nullptr};
    // This process created the mapping and has not yet initialised it: kept across a failed
    // mapping of the view, so the retry initialises exactly once.
    bool m_createdUninitialised = false;
    // Taken from the thread's last error right where a platform call failed.
    std::uint32_t m_failure = 0;
    // Streams of one client open the event from their own threads at once.
    std::mutex m_eventMutex;
};

}  // namespace orvanecam::exchange
