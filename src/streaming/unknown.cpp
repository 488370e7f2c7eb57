#include "streaming/unknown.h"

namespace orvanecam::streaming {

std::atomic<long> CBaseObject::s_objectsActive{0};

CBaseObject::CBaseObject() {
    s_objectsActive.fetch_add(1);
}

CBaseObject::~CBaseObject() {
    s_objectsActive.fetch_sub(1);
}

long CBaseObject::ObjectsActive() {
    return s_objectsActive.load();
}

CUnknown::CUnknown(IUnknown* outer) : m_owner(outer != nullptr ? outer : &m_inner) {}

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IUnknown) return GetInterface(&m_inner, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef() {
    const LONG count = m_refCount.fetch_add(1) + 1;
    return static_cast<ULONG>(count > 1 ? count : 1);
}

ULONG CUnknown::NonDelegatingRelease() {
    const LONG count = m_refCount.fetch_sub(1) - 1;
    if (count == 0) {
        // Guards against a re-entrant release during destruction.
        m_refCount.store(1);
        delete this;
        return 0;
    }
    return static_cast<ULONG>(count);
}

HRESULT CUnknown::GetInterface(IUnknown* face, void** object) {
    *object = face;
    face->AddRef();
    return S_OK;
}

}  // namespace orvanecam::streaming
