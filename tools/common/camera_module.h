#pragma once
// The camera module as a producer application loads it: by path, with its exported API.
#include <cstdint>
#include <optional>
#include <string>

#include "orvanecam/orvanecam.h"
#include "platform/shared_library.h"

namespace orvanecam::tools {

class CameraModule {
  public:
    // The module at path, or beside this program when path is empty; nothing (with a message on
    // stderr) when it cannot be loaded or lacks an export.
    static std::optional<CameraModule> Load(const std::string& path);

    decltype(&InitVcam) initVcam = nullptr;
    decltype(&SetOutputFormat) setOutputFormat = nullptr;
    decltype(&SendFrameNV12) sendFrameNv12 = nullptr;
    decltype(&SetMirrorEnabled) setMirrorEnabled = nullptr;
    decltype(&SetFlipEnabled) setFlipEnabled = nullptr;
    decltype(&setVcamOn) setCameraOn = nullptr;
    decltype(&SetRotateRightDegree) setRotateRightDegree = nullptr;
    decltype(&SetFriendlyName) setFriendlyName = nullptr;
    decltype(&SetVacantImg) setVacantImage = nullptr;
    decltype(&getMultiMediaToCamera) playMedia = nullptr;
    decltype(&getImageToCamera) showImage = nullptr;

    // The calling thread's last error as the module left it.
    std::uint32_t LastError() const;

  private:
    explicit CameraModule(platform::SharedLibrary library) : m_library(std::move(library)) {}
    platform::SharedLibrary m_library;
    std::uint32_t (*m_lastError)() = nullptr;
};

}  // namespace orvanecam::tools
