// getMultiMediaToCamera and getImageToCamera.
#include <orvanecam/orvanecam.h>

#include "media/media_sources.h"
#include "producer/producer_call.h"

using namespace orvanecam;

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
getMultiMediaToCamera(const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return media::PlayMediaFile(path); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL getImageToCamera(const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return media::ShowImageFile(path); });
}
