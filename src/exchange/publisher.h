#pragma once
// The producer side of the exchange. Callers serialise calls with the process-wide mutex.
#include <cstddef>
#include <cstdint>

#include "exchange/block_access.h"
#include "exchange/block_connection.h"

namespace orvanecam::exchange {

class FramePublisher {
  public:
    explicit FramePublisher(KernelObjects& objects = SystemKernelObjects())
        : m_connection(objects) {}

    // True when the mapping, the view and the event are held and the block is initialised and
    // sanitised. On failure the thread's last error is the failing system call's.
    bool OpenOrCreateBlock();
    // Repairs invalid output defaults and extension fields left in the block.
    void SanitizeBlock();
    // Publishes a tightly packed NV12 picture; false (block untouched) when it is unusable.
    bool PublishFrame(const std::uint8_t* source, std::int32_t width, std::int32_t height);

    // Announces a picture setting already written to its field(s). writeGuarded runs inside the
    // guarded section, before seq changes (for data such as the vacant picture).
    template <class WriteGuarded>
    void PokeSettings(WriteGuarded&& writeGuarded) {
        SharedBlock& block = *m_connection.Block();
        BeginGuardedWrite(block);
        writeGuarded(block);
        FinishSettingsPoke(block);
    }
    void PokeSettings() {
        PokeSettings([](SharedBlock&) {});
    }
    // Stores a new output format; readers pick it up without a change of seq.
    void AnnounceOutputFormat(FrameSize size, std::uint32_t nv12First);

    // The block once OpenOrCreateBlock succeeded, else null.
    SharedBlock* Block() const { return m_connection.Block(); }
    const BlockConnection& Connection() const { return m_connection; }

  private:
    void FinishSettingsPoke(SharedBlock& block);
    void SetEvent();

    BlockConnection m_connection;
};

// The process-wide producer side, kept until the process ends.
FramePublisher& ProducerExchange();

}  // namespace orvanecam::exchange
