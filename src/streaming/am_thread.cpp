#include "streaming/am_thread.h"

#include <system_error>

namespace orvanecam::streaming {

void ThreadEvent::Set() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_set = true;
    }
    m_changed.notify_all();
}

void ThreadEvent::Reset() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = false;
}

void ThreadEvent::Wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_set; });
    if (!m_manualReset) m_set = false;
}

bool ThreadEvent::IsSet() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_set;
}

CAMThread::~CAMThread() {
    Close();
}

bool CAMThread::Create() {
    std::lock_guard<std::mutex> access(m_accessLock);
    std::lock_guard<std::mutex> lock(m_threadMutex);
    if (m_thread.joinable()) return false;
    try {
        m_thread = std::thread([this] {
            const HRESULT com = CoInitializeEx(nullptr, COINIT_DISABLE_OLE1DDE);
            ThreadProc();
            if (SUCCEEDED(com)) CoUninitialize();
        });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

bool CAMThread::ThreadExists() {
    std::lock_guard<std::mutex> lock(m_threadMutex);
    return m_thread.joinable();
}

DWORD CAMThread::CallWorker(DWORD request) {
    std::lock_guard<std::mutex> access(m_accessLock);
    if (!ThreadExists()) return static_cast<DWORD>(E_FAIL);
    m_request = request;
    m_requestEvent.Set();
    RequestPosted();
    m_replyEvent.Wait();
    return m_reply;
}

void CAMThread::Close() {
    std::thread worker;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        worker = std::move(m_thread);
    }
    if (worker.joinable()) worker.join();
}

DWORD CAMThread::GetRequest() {
    m_requestEvent.Wait();
    return m_request;
}

bool CAMThread::CheckRequest(DWORD* request) {
    if (!m_requestEvent.IsSet()) return false;
    if (request != nullptr) *request = m_request;
    return true;
}

void CAMThread::Reply(DWORD value) {
    m_reply = value;
    m_requestEvent.Reset();
    m_replyEvent.Set();
}

}  // namespace orvanecam::streaming
