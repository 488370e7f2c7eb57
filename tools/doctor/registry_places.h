#pragma once
// Where the doctor looks for registrations: the machine's classes and the user's, each in the
// registry views this system keeps apart, and the install folders beside this program.
#include <optional>
#include <string>
#include <vector>

#include "camera/identity.h"
#include "platform/registry.h"

namespace orvanecam::tools::doctor {

struct Place {
    platform::RegistryRoot classes;  // kMachineClasses or kUserClasses
    platform::RegistryView view;
    // "64-bit, every user", "32-bit, this user"; without the bitness where there is one view.
    std::string Name() const;
    bool ForUser() const { return classes == platform::RegistryRoot::kUserClasses; }
};

// "64-bit" or "32-bit"; empty where there is one view.
std::string ViewName(platform::RegistryView view);
std::vector<Place> RegistrationPlaces();

// The folder holding the module and tools of view's bitness: this program's own, or the other
// bitness's folder beside it in an install (x64 and x86). Nothing when there is none.
std::optional<std::string> ToolFolderFor(platform::RegistryView view);

// Whether the class id has its in-process server key at place.
bool HasServerKey(const Place& place, const camera::ClassId& id);

// Deletes the key at path below place's classes with its subtree: "" on success or when it is
// not there, else the error.
std::string DeleteKey(const Place& place, const std::string& path);
// Deletes every key a camera's registration writes at place.
std::string DeleteCameraKeys(const Place& place, const camera::CameraIdentity& camera);
// Runs the registration tool of place's bitness for place's hive, keeping the number of cameras
// registered (one when none is): "" on success, else what failed.
std::string Reregister(const Place& place);

}  // namespace orvanecam::tools::doctor
