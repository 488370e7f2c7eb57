#pragma once
// Reference counting and QueryInterface for a plain (non-aggregatable) COM object with one
// interface; it deletes itself when the count returns to zero.
#include <atomic>
#include <new>
#include <utility>

#include "sdk/directshow.h"

namespace orvanecam::sdk {

template <class Interface>
class ComObject : public Interface {
  public:
    explicit ComObject(const IID& iid) : m_iid(iid) {}
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == m_iid || iid == IID_IUnknown) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(m_refCount.fetch_add(1) + 1);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG count = m_refCount.fetch_sub(1) - 1;
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

  private:
    const IID& m_iid;
    std::atomic<LONG> m_refCount{1};
};

// Creates an Object (a ComObject) and hands out iid on it; the object goes if that fails.
template <class Object, class... Arguments>
HRESULT CreateComObject(REFIID iid, void** object, Arguments&&... arguments) {
    auto* created = new (std::nothrow) Object(std::forward<Arguments>(arguments)...);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

}  // namespace orvanecam::sdk
