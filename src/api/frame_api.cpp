// InitVcam, SetOutputFormat, SendFrameNV12 and SendFrameYUY2.
#include <orvanecam/orvanecam.h>

#include <cstring>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "picture/staging.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"

namespace orvanecam::api {
namespace {

using StageFunction = bool (*)(picture::StagingBuffers&, const std::uint8_t*, std::int32_t,
                               std::int32_t, std::int32_t, std::int32_t, std::int32_t);

picture::StagingBuffers& ProducerStaging() {
    static picture::StagingBuffers buffers;
    return buffers;
}

// The output size the block asks for, or the default when it holds nothing usable.
exchange::FrameSize TargetSize(exchange::SharedBlock& block) {
    return exchange::ValidOutputSize(exchange::Atomic(block.outWidth).load(),
                                     exchange::Atomic(block.outHeight).load());
}

// An NV12 frame goes straight into the block under the write lock: no staging copy.
std::uint32_t SendNv12Frame(const std::uint8_t* data, std::int32_t width, std::int32_t height,
                            std::int32_t stride) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (data == nullptr || width < 1 || height < 1) return platform::kErrorInvalidParameter;
        if (const std::uint32_t error = producer::OpenProducerBlock(); error != 0) return error;
        exchange::FramePublisher& publisher = exchange::ProducerExchange();
        const exchange::FrameSize target = TargetSize(*publisher.Block());
        if (!picture::CanWriteNv12Frame(data, width, height, stride, target.width, target.height)) {
            return platform::kErrorInvalidData;
        }
        const bool published = publisher.PublishFrameWith(target, [&](std::uint8_t* frameArea) {
            return picture::WriteNv12Frame(data, width, height, stride, target.width, target.height,
                                           frameArea);
        });
        return published ? 0 : platform::kErrorWriteFault;
    });
}

// A packed frame staged by stage; a negative height (a bottom-up frame) only where bottomUp.
std::uint32_t SendFrame(StageFunction stage, const std::uint8_t* data, std::int32_t width,
                        std::int32_t height, std::int32_t stride, bool bottomUp = false) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (data == nullptr || width < 1 || height == 0 || (height < 0 && !bottomUp)) {
            return platform::kErrorInvalidParameter;
        }
        if (const std::uint32_t error = producer::OpenProducerBlock(); error != 0) return error;
        exchange::FramePublisher& publisher = exchange::ProducerExchange();
        const exchange::FrameSize target = TargetSize(*publisher.Block());
        picture::StagingBuffers& staging = ProducerStaging();
        if (!stage(staging, data, width, height, stride, target.width, target.height)) {
            return platform::kErrorInvalidData;
        }
        if (!publisher.PublishFrame(staging.stagingFrame.Data(), target.width, target.height)) {
            return platform::kErrorWriteFault;
        }
        return 0;
    });
}

}  // namespace
}  // namespace orvanecam::api

using namespace orvanecam;

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL InitVcam(void) {
    return producer::RunLockedProducerCall([] { return producer::OpenProducerBlock(); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFormat(int32_t width, int32_t height,
                                                                 int32_t nv12First) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height) || width == 1 ||
            height == 1) {
            return platform::kErrorInvalidParameter;
        }
        if (const std::uint32_t error = producer::OpenProducerBlock(); error != 0) return error;
        const exchange::FrameSize size{width & ~1, height & ~1};
        // The held frame is fitted to the new size at once, so no client ever renders it at a
        // size it was not written at.
        exchange::ProducerExchange().AnnounceOutputFormat(
            size, nv12First != 0 ? 1u : 0u,
            [&](exchange::SharedBlock& block, exchange::FrameSize previous) {
                picture::ScaleNv12(block.frameArea, previous.width, previous.height,
                                   block.lastFrameArea, size.width, size.height);
                std::memcpy(block.frameArea, block.lastFrameArea, exchange::Nv12Bytes(size));
            });
        return 0;
    });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameNV12(const uint8_t* data, int32_t width,
                                                               int32_t height, int32_t stride) {
    return api::SendNv12Frame(data, width, height, stride);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameYUY2(const uint8_t* data, int32_t width,
                                                               int32_t height, int32_t stride) {
    return api::SendFrame(picture::StageYuy2Frame, data, width, height, stride);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGRA(const uint8_t* data, int32_t width,
                                                               int32_t height, int32_t stride) {
    return api::SendFrame(picture::StageBgraFrame, data, width, height, stride, true);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameBGR24(const uint8_t* data, int32_t width,
                                                                int32_t height, int32_t stride) {
    return api::SendFrame(picture::StageBgr24Frame, data, width, height, stride, true);
}
