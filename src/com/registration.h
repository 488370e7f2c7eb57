#pragma once
// Registration as in-process COM classes and as capture devices: per camera, a device of the
// video input category and its microphone in the audio input category.
#include "sdk/directshow.h"

namespace orvanecam::com {

// Whose classes a registration writes: the machine's (needs an administrator; the only ones the
// Windows 11 frame server reads) or the current user's (apps this user starts list the cameras,
// and the user's keys hide the machine's of the same class).
enum class RegistrationScope { kMachine, kUser };

// Registers cameras 1..count (1..kMaxCameras) and removes any registered camera above count:
// each camera's class keys, the mapper's records and its device keys, in this module's registry
// view of scope. count 0 keeps the number registered now in either view (at least one).
// E_INVALIDARG for another count, before anything is written.
HRESULT RegisterCameras(int count, RegistrationScope scope = RegistrationScope::kMachine);

// Removes the registration of every camera in this module's view of scope.
HRESULT UnregisterCameras(RegistrationScope scope = RegistrationScope::kMachine);

}  // namespace orvanecam::com
