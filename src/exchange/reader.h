#pragma once
// The consumer side of the exchange, used by each capture filter's streaming thread. Without a
// view every operation falls back to the defaults.
#include <cstdint>
#include <mutex>

#include "exchange/block_access.h"
#include "exchange/block_connection.h"
#include "platform/process.h"

namespace orvanecam::exchange {

struct PayloadDecision {
    bool payload;              // show the producer's frames (else the vacant picture)
    std::uint32_t hasPayload;  // the value the decision used, for diagnostics
};

// The seq and size of a frame rendered from frameArea.
struct RenderedFrame {
    std::uint32_t seq;
    FrameSize size;
};

class FrameReader {
  public:
    explicit FrameReader(KernelObjects& objects = SystemKernelObjects()) : m_connection(objects) {}
    // A reader that leaves cleanly gives its attachment back, so later readers' frames are
    // counted as taken by everyone again.
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // True when the mapping and view are held; the first success attaches this reader.
    bool OpenReaderBlock();
    // Afterwards the event may still be absent; waits then become short sleeps.
    void OpenReaderEvent();

    // outWidth, outHeight, outFps and nv12First read together under the sequence lock, raw.
    OutputSettings ReadOutputSettings() const;
    FrameSize ReadOutputFormat() const;

    bool IsWriterAlive() const;
    // Once per sample: follows the producer to the block every session sees once one exists,
    // and clears the payload of a producer that has gone.
    PayloadDecision CheckPayload();
    // The current seq, after at most one short wait when it still equals lastSeq.
    std::uint32_t WaitForNewFrame(std::uint32_t lastSeq);
    // The current seq once it differs from lastSeq, or at deadline (MonotonicTime100ns units).
    std::uint32_t WaitForNewFrameUntil(std::uint32_t lastSeq, std::int64_t deadline);
    // The current seq, or 0 without a view.
    std::uint32_t CurrentSeq() const;

    // Renders frameArea under the sequence lock: render(frame, size) is repeated until no
    // writer interfered. Needs the view.
    template <class Render>
    RenderedFrame RenderNewFrame(Render&& render) {
        return RenderHeld(&SharedBlock::frameArea, render);
    }
    // The same for lastFrameArea, for a repeat. Both areas hold the producer's last frame at the
    // block's output size whenever the lock is free.
    template <class Render>
    RenderedFrame RenderLastFrame(Render&& render) {
        return RenderHeld(&SharedBlock::lastFrameArea, render);
    }
    // After rendering a new frame: counts this reader's take.
    void TakeFrame(std::uint32_t& lastSeq, const RenderedFrame& frame);
    // When a streaming thread ends: clears framePending if every reader has taken the frame.
    void ReleaseFrameOnStop();

    SharedBlock* Block() const { return m_connection.Block(); }
    const BlockConnection& Connection() const { return m_connection; }

  private:
    void FollowPreferredBlock();
    template <class Render>
    RenderedFrame RenderHeld(std::uint8_t (SharedBlock::*area)[kRegionBytes], Render& render) {
        SharedBlock& block = *m_connection.Block();
        RenderedFrame rendered{};
        ReadConsistent(block, [&] {
            rendered.size =
                ValidOutputSize(GuardedLoad(block.outWidth), GuardedLoad(block.outHeight));
            rendered.seq = Atomic(block.seq).load();
            render(static_cast<const std::uint8_t*>(block.*area), rendered.size);
        });
        return rendered;
    }
    void ClearPendingIfAllTook(std::int32_t takes);

    BlockConnection m_connection;
    // Filters construct, refresh and start streams on several threads at once.
    std::mutex m_openMutex;
    // Streams of several filters in one process ask at once.
    mutable std::mutex m_writerMutex;
    mutable platform::ProcessMonitor m_writerMonitor;
};

// The process-wide consumer side of the camera named so, kept until the process ends.
FrameReader& ReaderExchange(const ObjectNames& names = kFirstCameraObjects);

}  // namespace orvanecam::exchange
