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
    // sanitised. On failure Connection().FailureCode() is the first failing system call's error.
    bool OpenOrCreateBlock();
    // Repairs invalid output defaults and extension fields left in the block.
    void SanitizeBlock();
    // Publishes a tightly packed NV12 picture; false (block untouched) when it is unusable.
    bool PublishFrame(const std::uint8_t* source, std::int32_t width, std::int32_t height);
    // Publishes the NV12 picture of size that write(frameArea) puts straight into the block under
    // the write lock, saving a copy. A write that returns false publishes nothing (the held frame
    // is restored); false also when size is unusable.
    template <class Write>
    bool PublishFrameWith(FrameSize size, Write&& write) {
        if (!BeginPublish(size)) return false;
        return FinishPublish(size, write(m_connection.Block()->frameArea));
    }

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
    // Nothing live for now (a live source reconnecting): the readers show the vacant picture
    // until the next frame is published.
    void WithdrawPayload() {
        PokeSettings([](SharedBlock& block) { Atomic(block.hasPayload).store(0u); });
    }
    // Stores a new output format; readers pick it up without a change of seq. With rescale,
    // rescale(block, previous size) runs under the write lock to fit both held frames to the new
    // size, so that no reader renders a picture at a size it was not written at.
    void AnnounceOutputFormat(FrameSize size, std::uint32_t nv12First);
    template <class Rescale>
    void AnnounceOutputFormat(FrameSize size, std::uint32_t nv12First, Rescale&& rescale) {
        SharedBlock& block = *m_connection.Block();
        BeginGuardedWrite(block);
        const FrameSize previous = HeldFrameSize(block);
        StoreOutputFormat(block, size, nv12First);
        if (previous != size) rescale(block, previous);
        EndGuardedWrite(block);
        SetEvent();
    }

    // The block once OpenOrCreateBlock succeeded, else null.
    SharedBlock* Block() const { return m_connection.Block(); }
    const BlockConnection& Connection() const { return m_connection; }

  private:
    // Checks size, opens the block and takes the write lock.
    bool BeginPublish(FrameSize size);
    bool FinishPublish(FrameSize size, bool written);
    static FrameSize HeldFrameSize(SharedBlock& block);
    static void StoreOutputFormat(SharedBlock& block, FrameSize size, std::uint32_t nv12First);
    void FinishSettingsPoke(SharedBlock& block);
    // After a move to the block every session sees: the output format, the picture settings,
    // the vacant picture and the held frame of the block left behind, so clients there see what
    // clients of the old block saw.
    void CarryOver(SharedBlock& left);
    void SetEvent();

    BlockConnection m_connection;
};

// The process-wide producer side of the camera named so, kept until the process ends.
FramePublisher& ProducerExchange(const ObjectNames& names = kFirstCameraObjects);

}  // namespace orvanecam::exchange
