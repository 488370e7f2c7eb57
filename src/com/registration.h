#pragma once
// Registration as an in-process COM class and as a device of the video input category.
#include <string>

#include "sdk/directshow.h"

namespace orvanecam::com {

// The whole registration (register true) or unregistration, as the module's exports run it.
HRESULT RegisterServer(bool registering);

// The class key CLSID\{classId} with its description and server subkey.
HRESULT WriteServerKeys(REFCLSID classId, const std::u16string& description,
                        const std::u16string& modulePath, const std::u16string& threadingModel,
                        const std::string& serverKeyName);

// Deletes the class key with everything below it; always S_OK.
HRESULT RemoveServerKeys(REFCLSID classId);

// Writes (or deletes) the camera's class key and device instance key directly.
HRESULT UpdateDeviceKeys(bool registering);

}  // namespace orvanecam::com
