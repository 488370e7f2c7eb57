// getMultiMediaToCamera, getImageToCamera and StopMediaToCamera.
#include <orvanecam/orvanecam.h>

#include "playback/media_sources.h"
#include "playback/play_ticket.h"
#include "producer/producer_call.h"

using namespace orvanecam;

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL
getMultiMediaToCamera(const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return playback::PlayMediaFile(path); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL getImageToCamera(const OrvaneCamChar16* path) {
    return producer::RunProducerCall([&] { return playback::ShowImageFile(path); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL StopMediaToCamera(void) {
    return producer::RunProducerCall([] {
        playback::StopAllPlays();
        return 0u;
    });
}
