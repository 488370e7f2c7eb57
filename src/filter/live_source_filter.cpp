#include "filter/live_source_filter.h"

namespace orvanecam::filter {

HRESULT LiveSourceFilter::NonDelegatingQueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == IID_IAMFilterMiscFlags) {
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), object);
    }
    return CSource::NonDelegatingQueryInterface(iid, object);
}

HRESULT LiveSourceFilter::GetState(DWORD timeoutMs, FILTER_STATE* state) {
    const HRESULT result = CSource::GetState(timeoutMs, state);
    return SUCCEEDED(result) && *state == State_Paused ? VFW_S_CANT_CUE : result;
}

}  // namespace orvanecam::filter
