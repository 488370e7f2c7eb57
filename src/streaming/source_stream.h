#pragma once
// An output pin with a worker thread that, while the filter is paused or running, fills empty
// samples and delivers them downstream.
#include <condition_variable>
#include <mutex>

#include "streaming/am_thread.h"
#include "streaming/output_pin.h"

namespace orvanecam::streaming {

class CSource;

class CSourceStream : public CAMThread, public CBaseOutputPin {
  public:
    enum Command : DWORD { CMD_INIT = 0, CMD_PAUSE = 1, CMD_RUN = 2, CMD_STOP = 3, CMD_EXIT = 4 };

    // Adds itself to filter's pins; *result receives the outcome of that.
    CSourceStream(HRESULT* result, CSource* filter, LPCWSTR pinName);
    ~CSourceStream() override;

    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT CheckConnect(IPin* pin) override { return CBaseOutputPin::CheckConnect(pin); }
    // A live stream delivers from Run until Pause; others from the moment they are active.
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT Pause() override;

    // A live source (a camera) delivers only while the graph runs; others also while paused.
    virtual bool IsLive() const { return false; }

    DWORD ThreadProc() override;

    // Fills sample: S_OK delivers it, S_FALSE ends the stream, a failure aborts it.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    virtual HRESULT OnThreadCreate() { return S_OK; }
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    virtual HRESULT OnThreadStartPlay() { return S_OK; }
    virtual HRESULT DoBufferProcessingLoop();
    virtual HRESULT GetMediaType(CMediaType*) { return E_UNEXPECTED; }
    using CBasePin::GetMediaType;

  protected:
    // Makes type the pin's: at once while unconnected, else by reconnecting to the peer when it
    // accepts type (VFW_E_INVALIDMEDIATYPE when not). lock holds the filter's state lock; it is
    // let go while the graph reconnects (on a thread of its own, which takes it) and held again
    // on return.
    HRESULT UseConnectionType(const CMediaType& type, std::unique_lock<CCritSec>& lock);

    CSource* m_pFilter;

    void RequestPosted() override;

  private:
    void SetRunning(bool running);
    bool IsRunning();
    // A paused live stream sleeps until the graph runs or a request comes.
    void WaitForRunOrRequest();

    std::mutex m_runLock;
    std::condition_variable m_runChanged;
    bool m_running = false;        // guarded by m_runLock
    bool m_requestPosted = false;  // guarded by m_runLock
};

}  // namespace orvanecam::streaming
