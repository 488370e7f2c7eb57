// Each camera's process-wide kernel objects, producer side and consumer side, made together at
// the camera's first use and kept until the process ends (or until COM unloads the module once
// nothing of it is in use), so a process maps only the blocks of the cameras it uses.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "exchange/kernel_objects.h"
#include "exchange/publisher.h"
#include "exchange/reader.h"

namespace orvanecam::exchange {
namespace {

// Declared in this order, the sides go before the objects they use.
struct CameraExchange {
    explicit CameraExchange(const ObjectNames& names) : block(names.block), objects(names) {}

    std::string block;
    KernelObjects objects;
    FramePublisher publisher{objects};
    FrameReader reader{objects};
};

// Threads: any number; the lookup is locked.
CameraExchange& ExchangeOf(const ObjectNames& names) {
    static std::mutex mutex;
    static std::vector<std::unique_ptr<CameraExchange>> cameras;
    std::lock_guard lock(mutex);
    for (const auto& camera : cameras) {
        if (camera->block == names.block) return *camera;
    }
    cameras.push_back(std::make_unique<CameraExchange>(names));
    return *cameras.back();
}

}  // namespace

KernelObjects& SystemKernelObjects(const ObjectNames& names) {
    return ExchangeOf(names).objects;
}

FramePublisher& ProducerExchange(const ObjectNames& names) {
    return ExchangeOf(names).publisher;
}

FrameReader& ReaderExchange(const ObjectNames& names) {
    return ExchangeOf(names).reader;
}

}  // namespace orvanecam::exchange
