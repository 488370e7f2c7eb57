#pragma once
// A worker thread that takes numbered requests from other threads, one at a time, and answers
// each one.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "sdk/directshow.h"

namespace orvanecam::streaming {

// A manual- or auto-reset event for threads of this process.
class ThreadEvent {
  public:
    explicit ThreadEvent(bool manualReset) : m_manualReset(manualReset) {}
    void Set();
    void Reset();
    void Wait();
    bool IsSet();

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;
    const bool m_manualReset;
};

class CAMThread {
  public:
    CAMThread() = default;
    CAMThread(const CAMThread&) = delete;
    CAMThread& operator=(const CAMThread&) = delete;
    virtual ~CAMThread();

    // Starts the worker unless one exists; true when a thread was started.
    bool Create();
    // Posts request and waits for the answer; E_FAIL when there is no worker.
    DWORD CallWorker(DWORD request);
    // Waits for the worker to end.
    void Close();
    bool ThreadExists();

    // Worker side.
    DWORD GetRequest();
    bool CheckRequest(DWORD* request);
    void Reply(DWORD value);

    virtual DWORD ThreadProc() = 0;

  protected:
    // On the caller's thread, once a request is posted: a worker waiting on something else of
    // its own can wake for it.
    virtual void RequestPosted() {}

  private:
    ThreadEvent m_requestEvent{true};
    ThreadEvent m_replyEvent{false};
    DWORD m_request = 0;
    DWORD m_reply = 0;
    std::mutex m_threadMutex;  // guards m_thread
    std::thread m_thread;
    std::mutex m_accessLock;  // creation and posting, one caller at a time
};

}  // namespace orvanecam::streaming
