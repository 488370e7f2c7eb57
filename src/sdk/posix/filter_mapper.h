#pragma once
// The filter mapper behind CLSID_FilterMapper2, for non-Windows builds: it records a filter in a
// device category as an instance key of the registry store (FriendlyName and CLSID), which is
// what a device enumerator reads back.
#include <orvanecam_sdk/com.h>

namespace orvanecam::sdk {

HRESULT CreateFilterMapper(REFIID iid, void** object);

}  // namespace orvanecam::sdk
