#include "sdk/posix/memory_allocator.h"

#include <orvanecam_sdk/strmif.h>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "sdk/com_object.h"

namespace orvanecam::sdk {
namespace {

class MemoryAllocator;

// A buffer of the allocator. Its final Release hands it back to the free list; while it is out
// it holds a reference on the allocator.
constexpr std::align_val_t kSampleAlignment{64};

class MediaSample final : public IMediaSample {
  public:
    MediaSample(MemoryAllocator& allocator, std::size_t bytes)
        : m_allocator(allocator),
          m_buffer(static_cast<BYTE*>(::operator new[](bytes, kSampleAlignment))),
          m_size(bytes) {}
    virtual ~MediaSample() = default;

    void Prepare() {
        m_refs = 1;
        m_actualLength = static_cast<LONG>(m_size);
        m_syncPoint = m_preroll = m_discontinuity = false;
        m_hasStart = m_hasEnd = false;
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IMediaSample) {
            *object = static_cast<IMediaSample*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;

    HRESULT GetPointer(BYTE** buffer) override {
        if (buffer == nullptr) return E_POINTER;
        *buffer = m_buffer.get();
        return S_OK;
    }
    LONG GetSize() override { return static_cast<LONG>(m_size); }
    HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override {
        if (start == nullptr || end == nullptr) return E_POINTER;
        if (!m_hasStart) return VFW_E_SAMPLE_TIME_NOT_SET;
        *start = m_start;
        *end = m_hasEnd ? m_end : m_start + 1;
        return m_hasEnd ? S_OK : VFW_S_NO_STOP_TIME;
    }
    HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override {
        m_hasStart = start != nullptr;
        m_hasEnd = m_hasStart && end != nullptr;
        if (m_hasStart) m_start = *start;
        if (m_hasEnd) m_end = *end;
        return S_OK;
    }
    HRESULT IsSyncPoint() override { return m_syncPoint ? S_OK : S_FALSE; }
    HRESULT SetSyncPoint(BOOL syncPoint) override {
        m_syncPoint = syncPoint != FALSE;
        return S_OK;
    }
    HRESULT IsPreroll() override { return m_preroll ? S_OK : S_FALSE; }
    HRESULT SetPreroll(BOOL preroll) override {
        m_preroll = preroll != FALSE;
        return S_OK;
    }
    LONG GetActualDataLength() override { return m_actualLength; }
    HRESULT SetActualDataLength(LONG length) override {
        if (length < 0 || static_cast<std::size_t>(length) > m_size) return E_INVALIDARG;
        m_actualLength = length;
        return S_OK;
    }
    HRESULT GetMediaType(AM_MEDIA_TYPE** mediaType) override {
        if (mediaType == nullptr) return E_POINTER;
        *mediaType = nullptr;
        return S_FALSE;
    }
    HRESULT SetMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT IsDiscontinuity() override { return m_discontinuity ? S_OK : S_FALSE; }
    HRESULT SetDiscontinuity(BOOL discontinuity) override {
        m_discontinuity = discontinuity != FALSE;
        return S_OK;
    }
    HRESULT GetMediaTime(LONGLONG*, LONGLONG*) override { return VFW_E_MEDIA_TIME_NOT_SET; }
    HRESULT SetMediaTime(LONGLONG*, LONGLONG*) override { return S_OK; }

  private:
    static constexpr HRESULT VFW_E_SAMPLE_TIME_NOT_SET = MakeHresult(0x80040249u);
    static constexpr HRESULT VFW_E_MEDIA_TIME_NOT_SET = MakeHresult(0x80040251u);
    static constexpr HRESULT VFW_S_NO_STOP_TIME = 0x00040270;

    MemoryAllocator& m_allocator;
    // Sample buffers start on a cache line: a copy into a buffer a few bytes past a page boundary
    // relative to its source (4K aliasing) runs many times slower on some processors.
    struct AlignedDelete {
        void operator()(BYTE* bytes) const { ::operator delete[](bytes, kSampleAlignment); }
    };
    std::unique_ptr<BYTE[], AlignedDelete> m_buffer;
    std::size_t m_size;
    std::atomic<ULONG> m_refs{0};
    LONG m_actualLength = 0;
    bool m_syncPoint = false;
    bool m_preroll = false;
    bool m_discontinuity = false;
    bool m_hasStart = false;
    bool m_hasEnd = false;
    REFERENCE_TIME m_start = 0;
    REFERENCE_TIME m_end = 0;
};

class MemoryAllocator final : public ComObject<IMemAllocator> {
  public:
    MemoryAllocator() : ComObject(IID_IMemAllocator) {}

    HRESULT SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override {
        if (request == nullptr || actual == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_committed) return VFW_E_ALREADY_COMMITTED;
        if (m_outstanding != 0) return VFW_E_BUFFERS_OUTSTANDING;
        if (request->cbBuffer < 0 || request->cBuffers < 0 || request->cbAlign < 0 ||
            request->cbPrefix < 0) {
            return E_INVALIDARG;
        }
        m_properties.cBuffers = request->cBuffers > 0 ? request->cBuffers : 1;
        m_properties.cbBuffer = request->cbBuffer;
        m_properties.cbAlign = request->cbAlign > 0 ? request->cbAlign : 1;
        m_properties.cbPrefix = request->cbPrefix;
        m_propertiesSet = true;
        // Nothing is outstanding, so the old buffers can go; Commit makes them at the new size.
        m_free.clear();
        m_samples.clear();
        *actual = m_properties;
        return S_OK;
    }
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* properties) override {
        if (properties == nullptr) return E_POINTER;
        std::lock_guard<std::mutex> lock(m_mutex);
        *properties = m_properties;
        return S_OK;
    }
    HRESULT Commit() override {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_propertiesSet) return VFW_E_SIZENOTSET;
        if (m_committed) return S_OK;
        if (m_samples.empty()) {
            try {
                for (LONG i = 0; i < m_properties.cBuffers; ++i) {
                    m_samples.push_back(std::make_unique<MediaSample>(
                        *this, static_cast<std::size_t>(m_properties.cbBuffer)));
                    m_free.push_back(m_samples.back().get());
                }
            } catch (const std::bad_alloc&) {
                m_samples.clear();
                m_free.clear();
                return E_OUTOFMEMORY;
            }
        }
        m_committed = true;
        return S_OK;
    }
    HRESULT Decommit() override {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_committed = false;
        }
        m_sampleFreed.notify_all();
        return S_OK;
    }
    HRESULT GetBuffer(IMediaSample** sample, REFERENCE_TIME*, REFERENCE_TIME*, DWORD) override {
        if (sample == nullptr) return E_POINTER;
        *sample = nullptr;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_sampleFreed.wait(lock, [&] { return !m_committed || !m_free.empty(); });
        if (!m_committed) return VFW_E_NOT_COMMITTED;
        MediaSample* free = m_free.back();
        m_free.pop_back();
        ++m_outstanding;
        free->Prepare();
        AddRef();
        *sample = free;
        return S_OK;
    }
    HRESULT ReleaseBuffer(IMediaSample*) override { return S_OK; }

    void ReturnSample(MediaSample* sample) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_free.push_back(sample);
            --m_outstanding;
        }
        m_sampleFreed.notify_one();
        Release();
    }

  private:
    static constexpr HRESULT VFW_E_ALREADY_COMMITTED = MakeHresult(0x8004020Eu);

    std::mutex m_mutex;
    std::condition_variable m_sampleFreed;
    ALLOCATOR_PROPERTIES m_properties{};
    bool m_propertiesSet = false;
    bool m_committed = false;
    LONG m_outstanding = 0;
    std::vector<std::unique_ptr<MediaSample>> m_samples;
    std::vector<MediaSample*> m_free;
};

ULONG MediaSample::Release() {
    const ULONG refs = --m_refs;
    if (refs == 0) m_allocator.ReturnSample(this);
    return refs;
}

}  // namespace

HRESULT CreateMemoryAllocator(REFIID iid, void** object) {
    return CreateComObject<MemoryAllocator>(iid, object);
}

}  // namespace orvanecam::sdk
