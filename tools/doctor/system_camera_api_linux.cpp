#include "camera/identity.h"
#include "doctor/runtime_check.h"
#include "doctor/system_camera_api.h"
#include "pipewire/bridge.h"
#include "pipewire/node_list.h"

namespace orvanecam::tools::doctor {

void CheckSystemCameraApis(const std::vector<int>& cameras, Report& report) {
    const auto nodes = pipewire::ListNodes(2000);
    if (!nodes) {
        report.Add({"PipeWire", Verdict::kNote,
                    "no PipeWire server answers: Linux apps reach the camera only through "
                    "orvanecam-pipewire, which needs one"});
        return;
    }
    for (const int number : cameras) {
        const std::string name = pipewire::NodeName(*camera::CameraNumbered(number));
        bool present = false;
        for (const pipewire::NodeSummary& node : *nodes) {
            present = present || (node.name == name && node.mediaClass == "Video/Source");
        }
        report.Add({Label("PipeWire node", number), present ? Verdict::kOk : Verdict::kProblem,
                    present ? "\"" + name + "\" is a video source"
                            : "no video source named \"" + name + "\": Linux apps do not list it",
                    present ? "" : "start orvanecam-pipewire"});
    }
}

}  // namespace orvanecam::tools::doctor
