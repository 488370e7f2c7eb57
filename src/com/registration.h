#pragma once
// Registration as an in-process COM class and as a device of the video input category.
#include "sdk/directshow.h"

namespace orvanecam::com {

// The whole registration (register true) or unregistration, as the module's exports run it: the
// class keys, the mapper's record and the device key, all in this module's registry view.
HRESULT RegisterServer(bool registering);

}  // namespace orvanecam::com
