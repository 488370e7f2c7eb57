// InitVcam, SetOutputFormat and the SendFrame... calls, with their twins for any camera.
#include <orvanecam/orvanecam.h>

#include <cstring>
#include <optional>

#include "api/producer_camera.h"
#include "camera/choice.h"
#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "picture/staging.h"
#include "platform/win32_errors.h"
#include "producer/producer_call.h"

namespace orvanecam::api {
namespace {

picture::StagingBuffers& ProducerStaging() {
    static picture::StagingBuffers buffers;
    return buffers;
}

// Writes a submitted frame at the block's output size straight into its frame area under the
// write lock: canWrite(target) checks it first, write(target, frameArea) converts it.
template <class CanWrite, class Write>
std::uint32_t PublishSubmittedFrame(const camera::CameraIdentity& camera, bool argumentsGiven,
                                    CanWrite canWrite, Write write) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (!argumentsGiven) return platform::kErrorInvalidParameter;
        exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
        if (const std::uint32_t error = producer::OpenProducerBlock(publisher); error != 0) {
            return error;
        }
        exchange::SharedBlock& block = *publisher.Block();
        const exchange::FrameSize target = exchange::ValidOutputSize(
            exchange::Atomic(block.outWidth).load(), exchange::Atomic(block.outHeight).load());
        if (!canWrite(target)) return platform::kErrorInvalidData;
        const bool published = publisher.PublishFrameWith(
            target, [&](std::uint8_t* frameArea) { return write(target, frameArea); });
        return published ? 0 : platform::kErrorWriteFault;
    });
}

std::uint32_t SendNv12Frame(const camera::CameraIdentity& camera, const std::uint8_t* data,
                            std::int32_t width, std::int32_t height, std::int32_t stride) {
    return PublishSubmittedFrame(
        camera, data != nullptr && width >= 1 && height >= 1,
        [&](exchange::FrameSize target) {
            return picture::CanWriteNv12Frame(data, width, height, stride, target.width,
                                              target.height);
        },
        [&](exchange::FrameSize target, std::uint8_t* frameArea) {
            return picture::WriteNv12Frame(ProducerStaging(), data, width, height, stride,
                                           target.width, target.height, frameArea);
        });
}

// A negative height (a bottom-up frame) is taken only for the RGB formats.
std::uint32_t SendPackedFrame(const camera::CameraIdentity& camera, picture::PackedFormat format,
                              const std::uint8_t* data, std::int32_t width, std::int32_t height,
                              std::int32_t stride) {
    const bool bottomUpAllowed = picture::AcceptsBottomUp(format);
    return PublishSubmittedFrame(
        camera, data != nullptr && width >= 1 && height != 0 && (height > 0 || bottomUpAllowed),
        [&](exchange::FrameSize target) {
            return picture::CanWritePackedFrame(format, data, width, height, stride, target.width,
                                                target.height);
        },
        [&](exchange::FrameSize target, std::uint8_t* frameArea) {
            return picture::WritePackedFrame(ProducerStaging(), format, data, width, height, stride,
                                             target.width, target.height, frameArea);
        });
}

// The general export's format codes, as the header numbers them.
std::optional<picture::PackedFormat> PackedFormatOf(std::int32_t code) {
    using picture::PackedFormat;
    switch (code) {
        case ORVANECAM_FORMAT_YUY2:
            return PackedFormat::kYuy2;
        case ORVANECAM_FORMAT_BGRA:
            return PackedFormat::kBgra;
        case ORVANECAM_FORMAT_BGR24:
            return PackedFormat::kBgr24;
        case ORVANECAM_FORMAT_RGB24:
            return PackedFormat::kRgb24;
        case ORVANECAM_FORMAT_RGBA:
            return PackedFormat::kRgba;
        case ORVANECAM_FORMAT_I420:
            return PackedFormat::kI420;
        case ORVANECAM_FORMAT_UYVY:
            return PackedFormat::kUyvy;
        case ORVANECAM_FORMAT_GRAY8:
            return PackedFormat::kGray8;
        default:
            return std::nullopt;
    }
}

std::uint32_t SendFrameOfFormat(const camera::CameraIdentity& camera, std::int32_t format,
                                const std::uint8_t* data, std::int32_t width, std::int32_t height,
                                std::int32_t stride) {
    if (format == ORVANECAM_FORMAT_NV12) return SendNv12Frame(camera, data, width, height, stride);
    const std::optional<picture::PackedFormat> packed = PackedFormatOf(format);
    if (!packed) return producer::Finish(platform::kErrorInvalidParameter);
    return SendPackedFrame(camera, *packed, data, width, height, stride);
}

std::uint32_t InitCamera(const camera::CameraIdentity& camera) {
    return producer::RunLockedProducerCall(
        [&] { return producer::OpenProducerBlock(exchange::ProducerExchange(camera.Objects())); });
}

std::uint32_t SetCameraOutputFormat(const camera::CameraIdentity& camera, std::int32_t width,
                                    std::int32_t height, std::int32_t nv12First) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (!geometry::IsSideInRange(width) || !geometry::IsSideInRange(height) || width == 1 ||
            height == 1) {
            return platform::kErrorInvalidParameter;
        }
        exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
        if (const std::uint32_t error = producer::OpenProducerBlock(publisher); error != 0) {
            return error;
        }
        const exchange::FrameSize size{width & ~1, height & ~1};
        // The held frame is fitted to the new size at once, so no client ever renders it at a
        // size it was not written at.
        publisher.AnnounceOutputFormat(
            size, nv12First != 0 ? 1u : 0u,
            [&](exchange::SharedBlock& block, exchange::FrameSize previous) {
                picture::ScaleNv12(ProducerStaging(), block.frameArea, previous.width,
                                   previous.height, block.lastFrameArea, size.width, size.height);
                std::memcpy(block.frameArea, block.lastFrameArea, exchange::Nv12Bytes(size));
            });
        return 0;
    });
}

// The rate every front end offers its types at; clients may still ask for another.
std::uint32_t SetCameraFrameRate(const camera::CameraIdentity& camera, std::int32_t fps) {
    return producer::RunLockedProducerCall([&]() -> std::uint32_t {
        if (fps < 1 || fps > camera::kMaxFramesPerSecond) return platform::kErrorInvalidParameter;
        exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
        if (const std::uint32_t error = producer::OpenProducerBlock(publisher); error != 0) {
            return error;
        }
        publisher.PokeSettings(
            [&](exchange::SharedBlock& block) { exchange::Atomic(block.outFps).store(fps); });
        return 0;
    });
}

}  // namespace
}  // namespace orvanecam::api

using namespace orvanecam;
using camera::CameraIdentity;
using camera::kFirstCamera;
using picture::PackedFormat;

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL InitVcam(void) {
    return api::InitCamera(kFirstCamera);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL InitVcamForCamera(int32_t camera) {
    return api::ForCamera(camera, api::InitCamera);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFormat(int32_t width, int32_t height,
                                                                 int32_t nv12First) {
    return api::SetCameraOutputFormat(kFirstCamera, width, height, nv12First);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFormatForCamera(int32_t camera,
                                                                          int32_t width,
                                                                          int32_t height,
                                                                          int32_t nv12First) {
    return api::ForCamera(camera, [&](const CameraIdentity& chosen) {
        return api::SetCameraOutputFormat(chosen, width, height, nv12First);
    });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFrameRate(int32_t fps) {
    return api::SetCameraFrameRate(kFirstCamera, fps);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SetOutputFrameRateForCamera(int32_t camera,
                                                                             int32_t fps) {
    return api::ForCamera(
        camera, [&](const CameraIdentity& chosen) { return api::SetCameraFrameRate(chosen, fps); });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameNV12(const uint8_t* data, int32_t width,
                                                               int32_t height, int32_t stride) {
    return api::SendNv12Frame(kFirstCamera, data, width, height, stride);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameNV12ForCamera(
    int32_t camera, const uint8_t* data, int32_t width, int32_t height, int32_t stride) {
    return api::ForCamera(camera, [&](const CameraIdentity& chosen) {
        return api::SendNv12Frame(chosen, data, width, height, stride);
    });
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrame(int32_t format, const uint8_t* data,
                                                           int32_t width, int32_t height,
                                                           int32_t stride) {
    return api::SendFrameOfFormat(kFirstCamera, format, data, width, height, stride);
}

extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL SendFrameForCamera(int32_t camera, int32_t format,
                                                                    const uint8_t* data,
                                                                    int32_t width, int32_t height,
                                                                    int32_t stride) {
    return api::ForCamera(camera, [&](const CameraIdentity& chosen) {
        return api::SendFrameOfFormat(chosen, format, data, width, height, stride);
    });
}

// The packed formats' exports and their twins, one pair a format.
#define ORVANECAM_PACKED_FRAME_EXPORTS(name, format)                                          \
    extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL name(const uint8_t* data, int32_t width, \
                                                          int32_t height, int32_t stride) {   \
        return api::SendPackedFrame(kFirstCamera, format, data, width, height, stride);       \
    }                                                                                         \
    extern "C" ORVANECAM_API uint32_t ORVANECAM_CALL name##ForCamera(                         \
        int32_t camera, const uint8_t* data, int32_t width, int32_t height, int32_t stride) { \
        return api::ForCamera(camera, [&](const CameraIdentity& chosen) {                     \
            return api::SendPackedFrame(chosen, format, data, width, height, stride);         \
        });                                                                                   \
    }

ORVANECAM_PACKED_FRAME_EXPORTS(SendFrameYUY2, PackedFormat::kYuy2)
ORVANECAM_PACKED_FRAME_EXPORTS(SendFrameBGRA, PackedFormat::kBgra)
ORVANECAM_PACKED_FRAME_EXPORTS(SendFrameBGR24, PackedFormat::kBgr24)
