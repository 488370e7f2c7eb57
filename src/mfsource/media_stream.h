#pragma once
// The source's one video stream: answers RequestSample with a sample of the live camera at each
// slot of the frame schedule, on a worker thread of its own, stamped with the system time (the
// presentation clock's time source), while the source is started. Requests made while paused
// wait for the restart; stopping drops them.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "camera/live_sampler.h"
#include "camera/sample_source.h"
#include "mfsource/frame_buffer.h"
#include "mfsource/offered_types.h"
#include "mfsource/queued_events.h"
#include "streaming/unknown.h"

namespace orvanecam::mfsource {

// Threads: client threads call any method; m_lock guards the state and the requests, m_control
// orders the state changes; m_format, m_feed, m_sampler and m_pool belong to the worker while it
// runs, and a control thread touches them only after StopWorker has joined it.
class CameraMediaStream final : public streaming::CUnknown,
                                public QueuedEvents<sdk::IMFMediaStream2> {
  public:
    // source: kept (with a reference) until Shutdown.
    CameraMediaStream(const camera::CameraIdentity& camera, IMFMediaSource* source,
                      IMFStreamDescriptor* descriptor);
    ~CameraMediaStream() override;
    bool IsValid() const { return m_events && m_descriptor; }

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMFMediaStream
    HRESULT STDMETHODCALLTYPE GetMediaSource(IMFMediaSource** source) override;
    HRESULT STDMETHODCALLTYPE GetStreamDescriptor(IMFStreamDescriptor** descriptor) override;
    HRESULT STDMETHODCALLTYPE RequestSample(IUnknown* token) override;

    // IMFMediaStream2: the stream alone runs, pauses or stops, with the same events as when the
    // source does it.
    HRESULT STDMETHODCALLTYPE SetStreamState(sdk::MF_STREAM_STATE value) override;
    HRESULT STDMETHODCALLTYPE GetStreamState(sdk::MF_STREAM_STATE* value) override;

    // From the source, in its lock. Start queues MEStreamStarted with the start time.
    HRESULT Start(const StreamFormat& format, const PROPVARIANT& startTime);
    HRESULT Pause();
    // Stop queues MEStreamStopped when announce; a deselected stream stops without it.
    HRESULT Stop(bool announce);
    void Shutdown();

  private:
    enum class State { kStopped, kStarted, kPaused, kShutdown };

    void Deliver();
    // A client may choose another of the offered types while streaming (the source reader does
    // so without a restart): each sample follows the stream's current type.
    void FollowCurrentType();
    // A sample and its one buffer, as the pool keeps them.
    struct PooledSample {
        sdk::ComPtr<IMFSample> sample;
        sdk::ComPtr<FrameBuffer> buffer;
    };

    // A sample of the current format rendered for slot; null when it cannot be made, and then the
    // slot counts as missed.
    sdk::ComPtr<IMFSample> RenderSample(const camera::LiveSchedule::Slot& slot);
    // A sample with one frame buffer of the current format, cleared of every attribute:
    // a pooled one whose sample and buffer the client has both let go of (a client may keep a
    // buffer after releasing its sample), else a new one, kept in the pool while it has room, so
    // that streaming allocates nothing once warm.
    std::optional<PooledSample> FreeSample();
    void StopWorker();

    // Serialises the state changes (from the source, and from the frame server directly).
    std::recursive_mutex m_control;
    std::mutex m_lock;
    std::condition_variable m_wake;
    State m_state = State::kStopped;
    bool m_workerExit = false;
    std::deque<sdk::ComPtr<IUnknown>> m_tokens;
    sdk::ComPtr<IMFMediaSource> m_source;
    sdk::ComPtr<IMFStreamDescriptor> m_descriptor;
    StreamFormat m_format{};
    camera::SampleSource m_feed;
    camera::LiveSampler m_sampler;
    std::vector<PooledSample> m_pool;  // the worker's alone
    std::thread m_worker;
};

}  // namespace orvanecam::mfsource
