#pragma once
// Registration as in-process COM classes and as capture devices: per camera, a device of the
// video input category and its microphone in the audio input category.
#include "sdk/directshow.h"

namespace orvanecam::com {

// Registers cameras 1..count (1..kMaxCameras) and removes any registered camera above count:
// each camera's class keys, the mapper's records and its device keys, in this module's registry
// view. count 0 keeps the number registered now in either view (at least one). E_INVALIDARG for
// another count, before anything is written.
HRESULT RegisterCameras(int count);

// Removes the registration of every camera in this module's view.
HRESULT UnregisterCameras();

}  // namespace orvanecam::com
