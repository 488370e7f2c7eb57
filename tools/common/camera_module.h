#pragma once
// The camera module as a producer application loads it: by path, with its exported API (the
// twins that take a camera number, so a tool serves any camera).
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

    decltype(&InitVcamForCamera) initVcam = nullptr;
    decltype(&SetOutputFormatForCamera) setOutputFormat = nullptr;
    decltype(&SetOutputFrameRateForCamera) setOutputFrameRate = nullptr;
    decltype(&SendFrameNV12ForCamera) sendFrameNv12 = nullptr;
    decltype(&SendAudioForCamera) sendAudio = nullptr;
    decltype(&SetAudioRouteForCamera) setAudioRoute = nullptr;
    decltype(&SetMirrorEnabledForCamera) setMirrorEnabled = nullptr;
    decltype(&SetFlipEnabledForCamera) setFlipEnabled = nullptr;
    decltype(&setVcamOnForCamera) setCameraOn = nullptr;
    decltype(&SetRotateRightDegreeForCamera) setRotateRightDegree = nullptr;
    decltype(&SetFriendlyNameForCamera) setFriendlyName = nullptr;
    decltype(&SetVacantImgForCamera) setVacantImage = nullptr;
    decltype(&getMultiMediaToCameraForCamera) playMedia = nullptr;
    decltype(&getImageToCameraForCamera) showImage = nullptr;

  private:
    explicit CameraModule(platform::SharedLibrary library) : m_library(std::move(library)) {}
    platform::SharedLibrary m_library;
};

}  // namespace orvanecam::tools
