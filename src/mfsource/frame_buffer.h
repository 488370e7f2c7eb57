#pragma once
// A sample buffer holding one video frame with rows at the type's stride: NV12 or YUY2 rows back
// to back, which is also the frame's contiguous form. The platform's own two-dimensional buffers
// may pad each row to an alignment of their choosing, which would leave the stride the offered
// types state untrue and cost a copy of every frame into the padded rows.
#include <atomic>
#include <cstdint>
#include <memory>

#include "picture/render.h"
#include "sdk/media_foundation.h"
#include "streaming/unknown.h"

namespace orvanecam::mfsource {

// Threads: any; the lock count and current length are atomic, the bytes are the lock holder's.
class FrameBuffer final : public streaming::CUnknown, public IMFMediaBuffer, public IMF2DBuffer2 {
  public:
    // A buffer for media with a reference for the caller; null without memory.
    static FrameBuffer* Create(const picture::MediaFrame& media);

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;

    // IMFMediaBuffer
    HRESULT STDMETHODCALLTYPE Lock(BYTE** data, DWORD* maxLength, DWORD* currentLength) override;
    HRESULT STDMETHODCALLTYPE Unlock() override;
    HRESULT STDMETHODCALLTYPE GetCurrentLength(DWORD* length) override;
    HRESULT STDMETHODCALLTYPE SetCurrentLength(DWORD length) override;
    HRESULT STDMETHODCALLTYPE GetMaxLength(DWORD* length) override;

    // IMF2DBuffer and IMF2DBuffer2: one lock at a time of either kind, as documented.
    HRESULT STDMETHODCALLTYPE Lock2D(BYTE** scanline0, LONG* pitch) override;
    HRESULT STDMETHODCALLTYPE Unlock2D() override;
    HRESULT STDMETHODCALLTYPE GetScanline0AndPitch(BYTE** scanline0, LONG* pitch) override;
    HRESULT STDMETHODCALLTYPE IsContiguousFormat(BOOL* contiguous) override;
    HRESULT STDMETHODCALLTYPE GetContiguousLength(DWORD* length) override;
    HRESULT STDMETHODCALLTYPE ContiguousCopyTo(BYTE* destination, DWORD length) override;
    HRESULT STDMETHODCALLTYPE ContiguousCopyFrom(const BYTE* source, DWORD length) override;
    HRESULT STDMETHODCALLTYPE Lock2DSize(MF2DBuffer_LockFlags flags, BYTE** scanline0, LONG* pitch,
                                         BYTE** start, DWORD* length) override;
    HRESULT STDMETHODCALLTYPE Copy2DTo(IMF2DBuffer2* destination) override;

  private:
    enum class LockKind { kLinear, kPlanar };

    FrameBuffer(std::unique_ptr<BYTE[]> data, DWORD length, LONG pitch);
    // Takes a lock of kind (locks of one kind nest); false while the other kind is held.
    bool Acquire(LockKind kind);
    HRESULT Drop(LockKind kind);

    std::unique_ptr<BYTE[]> m_data;
    const DWORD m_length;
    const LONG m_pitch;
    std::atomic<DWORD> m_currentLength{0};
    std::atomic<int> m_locks{0};  // positive: linear locks, negative: planar locks
};

}  // namespace orvanecam::mfsource
