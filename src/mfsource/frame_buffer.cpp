#include "mfsource/frame_buffer.h"

#include <cstring>
#include <new>

namespace orvanecam::mfsource {

FrameBuffer* FrameBuffer::Create(const picture::MediaFrame& media) {
    const std::size_t bytes = picture::FrameBytes(media);
    const auto pitch = static_cast<LONG>(picture::RowBytes(media));
    if (bytes == 0) return nullptr;
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[bytes]);
    if (!data) return nullptr;
    auto* buffer =
        new (std::nothrow) FrameBuffer(std::move(data), static_cast<DWORD>(bytes), pitch);
    if (buffer != nullptr) buffer->NonDelegatingAddRef();
    return buffer;
}

FrameBuffer::FrameBuffer(std::unique_ptr<BYTE[]> data, DWORD length, LONG pitch)
    : streaming::CUnknown(nullptr), m_data(std::move(data)), m_length(length), m_pitch(pitch) {}

HRESULT FrameBuffer::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IMFMediaBuffer) return GetInterface(static_cast<IMFMediaBuffer*>(this), object);
    if (iid == IID_IMF2DBuffer || iid == IID_IMF2DBuffer2) {
        return GetInterface(static_cast<IMF2DBuffer2*>(this), object);
    }
    return CUnknown::NonDelegatingQueryInterface(iid, object);
}

bool FrameBuffer::Acquire(LockKind kind) {
    const int step = kind == LockKind::kLinear ? 1 : -1;
    int locks = m_locks.load();
    do {
        if (locks * step < 0) return false;
    } while (!m_locks.compare_exchange_weak(locks, locks + step));
    return true;
}

HRESULT FrameBuffer::Drop(LockKind kind) {
    const int step = kind == LockKind::kLinear ? 1 : -1;
    int locks = m_locks.load();
    do {
        if (locks * step <= 0) return MF_E_INVALIDREQUEST;
    } while (!m_locks.compare_exchange_weak(locks, locks - step));
    return S_OK;
}

HRESULT FrameBuffer::Lock(BYTE** data, DWORD* maxLength, DWORD* currentLength) {
    if (data == nullptr) return E_POINTER;
    if (!Acquire(LockKind::kLinear)) return MF_E_INVALIDREQUEST;
    *data = m_data.get();
    if (maxLength != nullptr) *maxLength = m_length;
    if (currentLength != nullptr) *currentLength = m_currentLength.load();
    return S_OK;
}

HRESULT FrameBuffer::Unlock() {
    return Drop(LockKind::kLinear);
}

HRESULT FrameBuffer::GetCurrentLength(DWORD* length) {
    if (length == nullptr) return E_POINTER;
    *length = m_currentLength.load();
    return S_OK;
}

HRESULT FrameBuffer::SetCurrentLength(DWORD length) {
    if (length > m_length) return E_INVALIDARG;
    m_currentLength.store(length);
    return S_OK;
}

HRESULT FrameBuffer::GetMaxLength(DWORD* length) {
    if (length == nullptr) return E_POINTER;
    *length = m_length;
    return S_OK;
}

HRESULT FrameBuffer::Lock2D(BYTE** scanline0, LONG* pitch) {
    if (scanline0 == nullptr || pitch == nullptr) return E_POINTER;
    if (!Acquire(LockKind::kPlanar)) return MF_E_INVALIDREQUEST;
    *scanline0 = m_data.get();
    *pitch = m_pitch;
    return S_OK;
}

HRESULT FrameBuffer::Unlock2D() {
    return Drop(LockKind::kPlanar);
}

HRESULT FrameBuffer::GetScanline0AndPitch(BYTE** scanline0, LONG* pitch) {
    if (scanline0 == nullptr || pitch == nullptr) return E_POINTER;
    if (m_locks.load() >= 0) return HRESULT_FROM_WIN32(ERROR_INVALID_FUNCTION);
    *scanline0 = m_data.get();
    *pitch = m_pitch;
    return S_OK;
}

HRESULT FrameBuffer::IsContiguousFormat(BOOL* contiguous) {
    if (contiguous == nullptr) return E_POINTER;
    *contiguous = TRUE;
    return S_OK;
}

HRESULT FrameBuffer::GetContiguousLength(DWORD* length) {
    if (length == nullptr) return E_POINTER;
    *length = m_length;
    return S_OK;
}

HRESULT FrameBuffer::ContiguousCopyTo(BYTE* destination, DWORD length) {
    if (destination == nullptr) return E_POINTER;
    if (length < m_length) return E_INVALIDARG;
    std::memcpy(destination, m_data.get(), m_length);
    return S_OK;
}

HRESULT FrameBuffer::ContiguousCopyFrom(const BYTE* source, DWORD length) {
    if (source == nullptr) return E_POINTER;
    if (length < m_length) return E_INVALIDARG;
    std::memcpy(m_data.get(), source, m_length);
    return S_OK;
}

HRESULT FrameBuffer::Lock2DSize(MF2DBuffer_LockFlags, BYTE** scanline0, LONG* pitch, BYTE** start,
                                DWORD* length) {
    if (start == nullptr || length == nullptr) return E_POINTER;
    const HRESULT locked = Lock2D(scanline0, pitch);
    if (FAILED(locked)) return locked;
    *start = m_data.get();
    *length = m_length;
    return S_OK;
}

HRESULT FrameBuffer::Copy2DTo(IMF2DBuffer2* destination) {
    if (destination == nullptr) return E_POINTER;
    return destination->ContiguousCopyFrom(m_data.get(), m_length);
}

}  // namespace orvanecam::mfsource
