#include "doctor/registry_places.h"
#include "doctor/runtime_check.h"
#include "doctor/system_camera_api.h"
#include "sdk/virtual_camera.h"

namespace orvanecam::tools::doctor {

void CheckSystemCameraApis(const std::vector<int>& cameras, Report& report) {
    if (!sdk::LoadVirtualCameraApi()) {
        report.Add({"Windows 11 camera API", Verdict::kNote,
                    "absent (Windows 11, build 22000 or later, has it): apps that use only Media "
                    "Foundation's frame server do not see the camera; DirectShow apps do"});
        return;
    }
    // The frame server runs as a 64-bit service and reads only the machine's classes.
    const Place frameServer{platform::RegistryRoot::kMachineClasses,
                            platform::RegistryView::k64Bit};
    for (const int number : cameras) {
        const std::string check = Label("Windows 11 camera API", number);
        if (HasServerKey(frameServer, camera::CameraNumbered(number)->mediaSourceClass)) {
            report.Add({check, Verdict::kOk,
                        "present, and the media source is registered for every user: "
                        "orvanecam-mfcamera --enable shows the camera to Windows 11 apps"});
        } else {
            report.Add({check, Verdict::kProblem,
                        "present, but the media source is not registered for every user: the "
                        "frame server cannot start the camera",
                        "run install.cmd as administrator (--fix does so when run as one)",
                        [frameServer] { return Reregister(frameServer); }});
        }
    }
}

}  // namespace orvanecam::tools::doctor
