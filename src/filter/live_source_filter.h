#pragma once
// A capture device's filter: a source whose pins deliver only while the graph runs, which says
// so to the graph (it cannot cue data while paused, and it is a source).
#include "sdk/directshow.h"
#include "streaming/source.h"

namespace orvanecam::filter {

class LiveSourceFilter : public streaming::CSource, public IAMFilterMiscFlags {
  public:
    LiveSourceFilter(IUnknown* outer, REFCLSID classId) : CSource(outer, classId) {}

    ORVANECAM_DECLARE_IUNKNOWN
    HRESULT STDMETHODCALLTYPE NonDelegatingQueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE GetState(DWORD timeoutMs, FILTER_STATE* state) override;
    ULONG STDMETHODCALLTYPE GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }
};

}  // namespace orvanecam::filter
