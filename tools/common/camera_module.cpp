#include "common/camera_module.h"

#include <cstdio>

#include "platform/environment.h"
#include "platform/last_error.h"

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
    if (!Find(exports, "InitVcam", module.initVcam) ||
        !Find(exports, "SetOutputFormat", module.setOutputFormat) ||
        !Find(exports, "SendFrameNV12", module.sendFrameNv12) ||
        !Find(exports, "SetMirrorEnabled", module.setMirrorEnabled) ||
        !Find(exports, "SetFlipEnabled", module.setFlipEnabled) ||
        !Find(exports, "setVcamOn", module.setCameraOn) ||
        !Find(exports, "SetRotateRightDegree", module.setRotateRightDegree) ||
        !Find(exports, "SetFriendlyName", module.setFriendlyName) ||
        !Find(exports, "SetVacantImg", module.setVacantImage) ||
        !Find(exports, "getMultiMediaToCamera", module.playMedia) ||
        !Find(exports, "getImageToCamera", module.showImage)) {
        return std::nullopt;
    }
    // Windows keeps the module's last error in the thread itself; elsewhere the module says.
    module.m_lastError =
        reinterpret_cast<std::uint32_t (*)()>(module.m_library.Symbol("GetVcamLastError"));
    return module;
}

std::uint32_t CameraModule::LastError() const {
    return m_lastError != nullptr ? m_lastError() : platform::ThreadLastError();
}

}  // namespace orvanecam::tools
