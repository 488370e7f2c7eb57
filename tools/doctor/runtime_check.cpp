#include "doctor/runtime_check.h"

#include <chrono>
#include <memory>
#include <set>
#include <thread>

#include "camera/identity.h"
#include "devices/camera_keys.h"
#include "doctor/registry_places.h"
#include "exchange/block_access.h"
#include "exchange/block_lifecycle.h"
#include "picture/bitmap_loader.h"
#include "platform/last_error.h"
#include "platform/process.h"
#include "platform/shared_memory.h"
#include "platform/utf16.h"
#include "settings/user_settings.h"

namespace orvanecam::tools::doctor {
namespace {

using exchange::Atomic;
using exchange::SharedBlock;

const camera::CameraIdentity& Camera(int number) {
    return *camera::CameraNumbered(number);
}

const char* OnOff(std::uint32_t value) {
    return value != 0u ? "on" : "off";
}

// A camera's block mapped, when some process has it open.
struct OpenBlock {
    platform::SharedMemory memory;
    platform::MappedView view;
    SharedBlock& Block() const { return *reinterpret_cast<SharedBlock*>(view.Data()); }
};

// A camera's block when some process has it open; nothing with error 0 when none has, or with
// the error that kept the doctor from looking.
std::unique_ptr<OpenBlock> OpenCameraBlock(int number, std::uint32_t& error) {
    error = 0;
    auto memory =
        platform::SharedMemory::OpenExisting(Camera(number).blockName, exchange::kBlockBytes);
    if (!memory) {
        error = platform::ThreadLastError();
        if (error == platform::kErrorFileNotFound) error = 0;
        return nullptr;
    }
    auto view = memory->MapAll();
    if (!view) {
        error = platform::ThreadLastError();
        if (error == 0) error = platform::kErrorNotEnoughMemory;
        return nullptr;
    }
    return std::make_unique<OpenBlock>(OpenBlock{std::move(*memory), std::move(*view)});
}

// The producer named in the block, as a phrase and whether it is a problem.
std::pair<std::string, bool> DescribeProducer(SharedBlock& block) {
    const std::int32_t writer = Atomic(block.writerPid).load();
    if (writer <= 0) return {"no producer has sent", false};
    switch (platform::QueryProcessState(writer)) {
        case platform::ProcessState::kRunning:
        case platform::ProcessState::kAccessDenied:
            return {"producer process " + std::to_string(writer) + " is running", false};
        case platform::ProcessState::kEnded:
            break;
    }
    return {"left by producer process " + std::to_string(writer) + ", which has ended", true};
}

std::string DescribeOutput(SharedBlock& block) {
    const exchange::OutputSettings settings = exchange::ReadOutputSettings(block);
    const exchange::FrameSize size{settings.width, settings.height};
    const exchange::FrameSize valid = exchange::ValidOutputSize(size.width, size.height);
    std::string text = "output " + std::to_string(valid.width) + "x" +
                       std::to_string(valid.height) + " at " + std::to_string(settings.fps) +
                       " fps, " + (settings.nv12First != 0u ? "NV12" : "YUY2") + " first";
    if (valid != size) {
        text += " (the block holds " + std::to_string(size.width) + "x" +
                std::to_string(size.height) + ", which clients ignore)";
    }
    if (Atomic(block.extMarker).load() == 1u) {
        text += std::string("; camera ") + OnOff(Atomic(block.cameraOn).load()) + ", mirror " +
                OnOff(Atomic(block.mirror).load()) + ", flip " + OnOff(Atomic(block.flip).load()) +
                ", rotation " + std::to_string((Atomic(block.rotation).load() & 3u) * 90) + "°";
    }
    return text;
}

// Forgets a producer that has ended, as a reader that finds it gone does.
std::string ForgetEndedProducer(int number) {
    std::uint32_t error = 0;
    const auto open = OpenCameraBlock(number, error);
    if (!open)
        return error == 0 ? std::string() : "cannot open it (error " + std::to_string(error) + ")";
    SharedBlock& block = open->Block();
    const std::int32_t writer = Atomic(block.writerPid).load();
    if (writer > 0 && platform::QueryProcessState(writer) == platform::ProcessState::kEnded) {
        exchange::ForgetWriter(block, writer);
    }
    return {};
}

}  // namespace

std::string Label(const char* what, int number) {
    return std::string(what) + " (camera " + std::to_string(number) + ")";
}

std::vector<int> CamerasToLook() {
    std::set<int> numbers{1};
    for (const platform::RegistryView view : platform::DistinctRegistryViews()) {
        for (const camera::CameraIdentity* camera : devices::RegisteredCameras(view)) {
            numbers.insert(camera->number);
        }
    }
    return {numbers.begin(), numbers.end()};
}

void CheckSharedBlocks(const std::vector<int>& cameras, Report& report) {
    struct Look {
        int number;
        std::unique_ptr<OpenBlock> block;
        std::uint32_t error;
    };
    std::vector<Look> open;
    for (const int number : cameras) {
        std::uint32_t error = 0;
        auto block = OpenCameraBlock(number, error);
        open.push_back({number, std::move(block), error});
    }
    // Frames arriving while the doctor watches tell a sending producer from a stalled one.
    std::vector<std::uint32_t> firstSeq;
    for (const Look& look : open) {
        firstSeq.push_back(look.block ? Atomic(look.block->Block().seq).load() : 0u);
    }
    constexpr int kWatchMs = 500;
    std::this_thread::sleep_for(std::chrono::milliseconds(kWatchMs));
    for (std::size_t index = 0; index < open.size(); ++index) {
        const auto& [number, opened, error] = open[index];
        const std::string check = Label("shared block", number);
        if (!opened && error != 0) {
            report.Add({check, Verdict::kUnchecked,
                        "cannot look at it (error " + std::to_string(error) + ")",
                        "run the doctor as the user whose apps use the camera"});
            continue;
        }
        if (!opened) {
            report.Add(
                {check, Verdict::kOk, "not open: no producer or client of this camera is running"});
            continue;
        }
        SharedBlock& block = opened->Block();
        if (Atomic(block.ready).load() != exchange::kReady) {
            report.Add({check, Verdict::kProblem, "open but never made ready",
                        "close the producer and the apps using the camera, then start them again"});
            continue;
        }
        const auto [producer, ended] = DescribeProducer(block);
        const std::uint32_t frames = Atomic(block.seq).load() - firstSeq[index];
        const std::string found =
            producer + ", " + std::to_string(frames) + " new frames or changes in " +
            std::to_string(kWatchMs) + " ms; " + DescribeOutput(block) + "; " +
            std::to_string(std::max(0, Atomic(block.readerCount).load())) + " readers attached";
        if (ended) {
            report.Add({check, Verdict::kProblem, found,
                        "clients show the vacant picture until a producer sends again; --fix "
                        "clears the ended producer from the block",
                        [number = number] { return ForgetEndedProducer(number); }});
        } else {
            report.Add({check, Verdict::kOk, found});
        }
    }
}

void CheckSettings(const std::vector<int>& cameras, Report& report) {
    for (const int number : cameras) {
        const camera::CameraIdentity& camera = Camera(number);
        report.Add({Label("settings", number), Verdict::kOk,
                    "listed as \"" + platform::Utf16ToUtf8(camera::DeviceName(camera)) + "\""});
        const std::u16string path = settings::SavedVacantImagePath(camera.settingsKey);
        if (path.empty()) {
            report.Add({Label("vacant picture", number), Verdict::kOk,
                        "none set: clients show the built-in picture while nothing is sent"});
            continue;
        }
        std::vector<std::uint8_t> nv12;
        std::int32_t width = 0;
        std::int32_t height = 0;
        const std::string file = platform::Utf16ToUtf8(path);
        if (picture::LoadBitmapAsNv12(file, nv12, width, height)) {
            report.Add({Label("vacant picture", number), Verdict::kOk,
                        file + ", " + std::to_string(width) + "x" + std::to_string(height)});
            continue;
        }
        const std::string key(camera.settingsKey);
        report.Add({Label("vacant picture", number), Verdict::kProblem,
                    file + " cannot be loaded: clients show the built-in picture instead",
                    "choose a readable bitmap; --fix forgets this one", [key] {
                        const std::uint32_t error =
                            settings::StoreUserSetting(settings::kVacantImagePathValue, u"", key);
                        return error == 0 ? std::string()
                                          : "cannot clear it (error " + std::to_string(error) + ")";
                    }});
    }
}

}  // namespace orvanecam::tools::doctor
