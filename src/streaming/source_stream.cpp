#include "streaming/source_stream.h"

#include "platform/clock.h"
#include "streaming/source.h"

namespace orvanecam::streaming {
CSourceStream::CSourceStream(HRESULT* result, CSource* filter, LPCWSTR pinName)
    : CBaseOutputPin(filter, filter->pStateLock(), pinName), m_pFilter(filter) {
    const HRESULT added = filter->AddPin(this);
    if (result != nullptr) *result = added;
}

CSourceStream::~CSourceStream() {
    m_pFilter->RemovePin(this);
    Close();
}

HRESULT CSourceStream::Active() {
    CAutoLock lock(*m_pFilter->pStateLock());
    if (m_pFilter->IsActive()) return S_FALSE;
    if (!IsConnected()) return S_OK;
    HRESULT result = CBaseOutputPin::Active();
    if (FAILED(result)) return result;
    if (!Create()) return E_FAIL;
    result = static_cast<HRESULT>(CallWorker(CMD_INIT));
    if (FAILED(result)) {
        // The worker has ended; collect it so that the next start can make a new one.
        Close();
        return result;
    }
    return static_cast<HRESULT>(CallWorker(CMD_PAUSE));
}

HRESULT CSourceStream::Inactive() {
    SetRunning(false);
    CAutoLock lock(*m_pFilter->pStateLock());
    if (!IsConnected()) return S_OK;
    HRESULT result = CBaseOutputPin::Inactive();
    if (FAILED(result)) return result;
    if (ThreadExists()) {
        result = static_cast<HRESULT>(CallWorker(CMD_STOP));
        const HRESULT exit = static_cast<HRESULT>(CallWorker(CMD_EXIT));
        if (SUCCEEDED(result)) result = exit;
        Close();
        if (FAILED(result)) return result;
    }
    return S_OK;
}

// Only a flag: the worker may be inside a downstream Receive that a paused renderer holds until
// the graph stops, so waiting for it here would never end.
HRESULT CSourceStream::Run(REFERENCE_TIME) {
    SetRunning(true);
    return S_OK;
}

HRESULT CSourceStream::UseConnectionType(const CMediaType& type, std::unique_lock<CCritSec>& lock) {
    if (!IsConnected()) {
        m_mt = type;
        return S_OK;
    }
    // Ask first: a reconnection the other pin refuses would leave the graph broken.
    const sdk::ComPtr<IPin> peer = m_connected;
    lock.unlock();
    HRESULT result = VFW_E_INVALIDMEDIATYPE;
    if (peer->QueryAccept(&type) == S_OK) {
        if (IFilterGraph* graph = m_pFilter->Graph()) {
            result = graph->Reconnect(AsPin());
        } else {
            // Outside a graph the pin reconnects itself to the same peer.
            peer->Disconnect();
            Disconnect();
            result = Connect(peer.Get(), nullptr);
        }
    }
    lock.lock();
    return result;
}

HRESULT CSourceStream::Pause() {
    SetRunning(false);
    return S_OK;
}

void CSourceStream::SetRunning(bool running) {
    {
        std::lock_guard lock(m_runLock);
        m_running = running;
    }
    m_runChanged.notify_all();
}

bool CSourceStream::IsRunning() {
    std::lock_guard lock(m_runLock);
    return m_running;
}

void CSourceStream::RequestPosted() {
    {
        std::lock_guard lock(m_runLock);
        m_requestPosted = true;
    }
    m_runChanged.notify_all();
}

void CSourceStream::WaitForRunOrRequest() {
    std::unique_lock lock(m_runLock);
    m_runChanged.wait(lock, [&] { return m_running || m_requestPosted; });
    m_requestPosted = false;
}

DWORD CSourceStream::ThreadProc() {
    DWORD request = GetRequest();
    while (request != CMD_INIT) {
        Reply(static_cast<DWORD>(E_UNEXPECTED));
        request = GetRequest();
    }
    const HRESULT created = OnThreadCreate();
    if (FAILED(created)) {
        OnThreadDestroy();
        Reply(static_cast<DWORD>(created));
        return 1;
    }
    Reply(static_cast<DWORD>(S_OK));
    for (bool exit = false; !exit;) {
        request = GetRequest();
        switch (request) {
            case CMD_PAUSE:
            case CMD_RUN:
                Reply(static_cast<DWORD>(S_OK));
                DoBufferProcessingLoop();
                break;
            case CMD_STOP:
                Reply(static_cast<DWORD>(S_OK));
                break;
            case CMD_EXIT:
                Reply(static_cast<DWORD>(S_OK));
                exit = true;
                break;
            default:
                Reply(static_cast<DWORD>(E_NOTIMPL));
                break;
        }
    }
    return FAILED(OnThreadDestroy()) ? 1 : 0;
}

HRESULT CSourceStream::DoBufferProcessingLoop() {
    bool delivering = false;
    for (;;) {
        DWORD request = 0;
        while (!CheckRequest(&request)) {
            if (IsLive() && !IsRunning()) {
                delivering = false;
                WaitForRunOrRequest();
                continue;
            }
            if (!delivering) {
                OnThreadStartPlay();
                delivering = true;
            }
            sdk::ComPtr<IMediaSample> sample;
            if (FAILED(GetDeliveryBuffer(sample.Put(), nullptr, nullptr, 0)) || !sample) {
                platform::SleepMs(1);
                continue;
            }
            const HRESULT filled = FillBuffer(sample.Get());
            if (filled == S_OK) {
                if (Deliver(sample.Get()) != S_OK) return S_OK;
            } else if (filled == S_FALSE) {
                sample.Reset();
                DeliverEndOfStream();
                return S_OK;
            } else {
                sample.Reset();
                DeliverEndOfStream();
                m_pFilter->NotifyEvent(EC_ERRORABORT, static_cast<LONG_PTR>(filled), 0);
                return filled;
            }
        }
        if (request == CMD_PAUSE || request == CMD_RUN) {
            Reply(static_cast<DWORD>(S_OK));
        } else if (request == CMD_STOP) {
            return S_FALSE;  // the command loop answers it
        } else {
            Reply(static_cast<DWORD>(E_UNEXPECTED));
        }
    }
}

}  // namespace orvanecam::streaming
