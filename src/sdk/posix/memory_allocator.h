#pragma once
// The standard memory allocator behind CLSID_MemoryAllocator, for non-Windows builds:
// SetProperties grants what it was asked (at least one buffer) and says so; GetBuffer blocks
// until a sample is free and fails at once after Decommit, waking any waiter.
#include <orvanecam_sdk/com.h>

namespace orvanecam::sdk {

HRESULT CreateMemoryAllocator(REFIID iid, void** object);

}  // namespace orvanecam::sdk
