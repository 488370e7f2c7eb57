#pragma once
// The registry keys a camera is known by, below the classes root, and which cameras they show
// registered.
#include <string>
#include <vector>

#include "camera/identity.h"
#include "platform/registry.h"
#include "sdk/directshow.h"
#include "sdk/guid_text.h"

namespace orvanecam::devices {

// "CLSID\{id}"; empty when the identifier cannot be formatted.
std::string ClassKeyPath(REFCLSID classId);

// "CLSID\{category}\Instance\{filter class}": the device the category lists; empty when an
// identifier cannot be formatted.
std::string InstanceKeyPath(REFCLSID category, REFCLSID filterClass);
// The camera's own device, in the video input category.
std::string CameraInstanceKeyPath(const camera::CameraIdentity& camera);
// The camera's microphone, in the audio input category.
std::string MicrophoneInstanceKeyPath(const camera::CameraIdentity& camera);

// Whether camera is registered in view of classes: its device key and its filter's server key
// are both there. A half-removed install (a device key whose class is gone) does not count.
bool IsCameraRegistered(const camera::CameraIdentity& camera, platform::RegistryView view,
                        platform::RegistryRoot classes = platform::RegistryRoot::kClassesRoot);

// The cameras registered in view of classes, in number order.
std::vector<const camera::CameraIdentity*> RegisteredCameras(
    platform::RegistryView view,
    platform::RegistryRoot classes = platform::RegistryRoot::kClassesRoot);

// Deletes the keys registration creates above the cameras' own (the categories' instance lists,
// the categories, the class list) in view of classes when they hold nothing, so that removing
// every camera leaves the classes as they were before the first registration.
void DeleteEmptyParentKeys(platform::RegistryRoot classes, platform::RegistryView view);

// Whether camera is registered in either view: a producer of one bitness feeds the clients of
// both.
bool IsCameraRegisteredInAnyView(const camera::CameraIdentity& camera);

}  // namespace orvanecam::devices
