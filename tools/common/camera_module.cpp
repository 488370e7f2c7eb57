#include "common/camera_module.h"

#include <cstdio>

#include "platform/environment.h"

namespace orvanecam::tools {
namespace {

template <class Function>
bool Find(const platform::SharedLibrary& library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(library.Symbol(name));
    if (function == nullptr) std::fprintf(stderr, "the module does not export %s\n", name);
    return function != nullptr;
}

}  // namespace

std::optional<CameraModule> CameraModule::Load(const std::string& path) {
    const std::string file =
        path.empty() ? platform::ExecutableDirectory() + "/" + ORVANECAM_MODULE_FILE : path;
    auto library = platform::SharedLibrary::Load(file);
    if (!library) {
        std::fprintf(stderr, "cannot load the camera module %s\n", file.c_str());
        return std::nullopt;
    }
    CameraModule module(std::move(*library));
    const platform::SharedLibrary& exports = module.m_library;
    if (!Find(exports, "InitVcamForCamera", module.initVcam) ||
        !Find(exports, "SetOutputFormatForCamera", module.setOutputFormat) ||
        !Find(exports, "SetOutputFrameRateForCamera", module.setOutputFrameRate) ||
        !Find(exports, "SendFrameNV12ForCamera", module.sendFrameNv12) ||
        !Find(exports, "SendAudioForCamera", module.sendAudio) ||
        !Find(exports, "SetAudioRouteForCamera", module.setAudioRoute) ||
        !Find(exports, "SetMirrorEnabledForCamera", module.setMirrorEnabled) ||
        !Find(exports, "SetFlipEnabledForCamera", module.setFlipEnabled) ||
        !Find(exports, "setVcamOnForCamera", module.setCameraOn) ||
        !Find(exports, "SetRotateRightDegreeForCamera", module.setRotateRightDegree) ||
        !Find(exports, "SetFriendlyNameForCamera", module.setFriendlyName) ||
        !Find(exports, "SetVacantImgForCamera", module.setVacantImage) ||
        !Find(exports, "getMultiMediaToCameraForCamera", module.playMedia) ||
        !Find(exports, "getImageToCameraForCamera", module.showImage)) {
        return std::nullopt;
    }
    return module;
}

}  // namespace orvanecam::tools
