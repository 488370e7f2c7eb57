#pragma once
// COM identity shared by every framework object: the live object count, and reference counting
// in the non-delegating model, where an aggregated object's public interfaces forward to the
// outer object and only its non-delegating face manages its own lifetime.
#include <atomic>
#include <mutex>

#include "sdk/directshow.h"

namespace orvanecam::streaming {

// The filter's state lock: re-entrant for the thread that holds it.
using CCritSec = std::recursive_mutex;
using CAutoLock = std::lock_guard<std::recursive_mutex>;

class CBaseObject {
  public:
    CBaseObject();
    CBaseObject(const CBaseObject&) = delete;
    CBaseObject& operator=(const CBaseObject&) = delete;
    virtual ~CBaseObject();

    // Framework objects alive in this process; the module may unload only at 0.
    static long ObjectsActive();

  private:
    static std::atomic<long> s_objectsActive;
};

struct INonDelegatingUnknown {
    virtual HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingAddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE NonDelegatingRelease() = 0;

  protected:
    ~INonDelegatingUnknown() = default;
};

class CUnknown : public INonDelegatingUnknown, public CBaseObject {
  public:
    // outer: the aggregating object, or null for an object that stands alone.
    explicit CUnknown(IUnknown* outer);
    ~CUnknown() override = default;

    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE NonDelegatingAddRef() override;
    ULONG STDMETHODCALLTYPE NonDelegatingRelease() override;

    // Where the public interfaces' IUnknown calls go.
    IUnknown* GetOwner() const { return m_owner; }
    // This object's own IUnknown, whose calls reach the non-delegating methods.
    IUnknown* NonDelegatingUnknown() { return &m_inner; }

  protected:
    // Hands out an interface with a reference added through it.
    static HRESULT GetInterface(IUnknown* face, void** object);

  private:
    struct Inner final : IUnknown {
        explicit Inner(CUnknown& self) : m_self(self) {}
        virtual ~Inner() = default;
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
            return m_self.NonDelegatingQueryInterface(iid, object);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return m_self.NonDelegatingAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return m_self.NonDelegatingRelease(); }
        CUnknown& m_self;
    };

    Inner m_inner{*this};
    IUnknown* const m_owner;
    std::atomic<LONG> m_refCount{0};
};

// The IUnknown methods of a class's public interfaces: all forward to the owner.
#define ORVANECAM_DECLARE_IUNKNOWN                                                 \
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { \
        return GetOwner()->QueryInterface(iid, object);                            \
    }                                                                              \
    ULONG STDMETHODCALLTYPE AddRef() override {                                    \
        return GetOwner()->AddRef();                                               \
    }                                                                              \
    ULONG STDMETHODCALLTYPE Release() override {                                   \
        return GetOwner()->Release();                                              \
    }

}  // namespace orvanecam::streaming
