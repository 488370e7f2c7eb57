// The camera stream's per-sample rendering of a same-size 1080 x 1920 frame (pacing excluded)
// against the least that job needs (one copy into the sample for NV12, the two library
// conversions for YUY2): the rendering alone, with the sample's payload decision (whose producer
// liveness check is a system call), and what the live schedule adds per sample; a client of camera
// 3 against one of camera 1 (every camera is served alike). Then the processor time a capture
// client spends streaming at 30 fps.
#include <benchmark/benchmark.h>
#include <libyuv.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "camera/live_schedule.h"
#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "filter/vcam.h"
#include "filter/vcam_stream.h"
#include "picture/letterbox.h"
#include "picture/pixel_formats.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace {

using namespace orvanecam;

constexpr std::int32_t kWidth = 1080;
constexpr std::int32_t kHeight = 1920;

struct Camera {
    exchange::KernelObjects& objects;
    exchange::FramePublisher producer{objects};
    exchange::FrameReader secondReader{objects};  // keeps the event set, so repeats never wait
    filter::CVCam* camera = nullptr;
    std::vector<std::uint8_t> frame =
        std::vector<std::uint8_t>(picture::Yuv420Bytes(kWidth, kHeight), 90);

    explicit Camera(const camera::CameraIdentity& which)
        : objects(exchange::SystemKernelObjects(which.Objects())) {
        producer.OpenOrCreateBlock();
        secondReader.OpenReaderBlock();
        HRESULT result = S_OK;
        camera = filter::CVCam::CreateFor(which, nullptr, &result);
        camera->NonDelegatingAddRef();
        producer.PublishFrame(frame.data(), kWidth, kHeight);
        camera->Stream()->OnThreadCreate();
    }
    ~Camera() {
        camera->Stream()->OnThreadDestroy();
        camera->NonDelegatingRelease();
    }
    void UseYuy2(bool yuy2) {
        streaming::CMediaType type;
        filter::BuildVideoType({kWidth, kHeight, 333333}, yuy2, filter::FormatLayout::kVideoInfo,
                               type);
        camera->Stream()->SetFormat(&type);
    }
};

// Lives until the end of the program, which then releases the filter and closes the block (a
// block left open would stay in /dev/shm after every run).
Camera& TheCamera() {
    static Camera camera(camera::kFirstCamera);
    return camera;
}

Camera& ThirdCamera() {
    static Camera camera(*camera::CameraNumbered(3));
    return camera;
}

void RenderRepeats(benchmark::State& state, bool yuy2, Camera& camera = TheCamera()) {
    camera.UseYuy2(yuy2);
    // Exactly one frame, so no bytes past it are zeroed.
    std::vector<std::uint8_t> sample(yuy2 ? picture::Yuy2Bytes(kWidth, kHeight)
                                          : picture::Yuv420Bytes(kWidth, kHeight));
    for (auto _ : state) {
        benchmark::DoNotOptimize(camera.camera->Stream()->RenderFrame(
            sample.data(), static_cast<std::int64_t>(sample.size())));
    }
}
void BM_StreamRenderNv12(benchmark::State& state) {
    RenderRepeats(state, false);
}
void BM_StreamRenderYuy2(benchmark::State& state) {
    RenderRepeats(state, true);
}
void BM_StreamRenderNv12Camera3(benchmark::State& state) {
    RenderRepeats(state, false, ThirdCamera());
}

// The rendering alone, as FillBuffer calls it, without the per-sample payload decision.
void RenderOnly(benchmark::State& state, bool yuy2) {
    static picture::RenderState render;
    const picture::MediaFrame media{
        kWidth, kHeight, yuy2 ? picture::SampleFormat::kYuy2 : picture::SampleFormat::kNv12};
    std::vector<std::uint8_t> sample(picture::FrameBytes(media));
    const std::uint8_t* source = TheCamera().producer.Block()->lastFrameArea;
    for (auto _ : state) {
        picture::RenderToSample(render, source, kWidth, kHeight, {}, sample.data(), sample.size(),
                                media);
        benchmark::ClobberMemory();
    }
}
void BM_RenderingNv12(benchmark::State& state) {
    RenderOnly(state, false);
}
void BM_RenderingYuy2(benchmark::State& state) {
    RenderOnly(state, true);
}

// The least a same-size frame needs: one copy into the sample (NV12), or the two library
// conversions straight from the frame (YUY2).
void BareRender(benchmark::State& state, bool yuy2) {
    // The same picture the stream renders: the frame held in the shared block.
    const std::uint8_t* source = TheCamera().producer.Block()->lastFrameArea;
    static std::vector<std::uint8_t> planes(picture::Yuv420Bytes(kWidth, kHeight));
    static std::vector<std::uint8_t> sample(picture::Yuy2Bytes(kWidth, kHeight));
    const picture::I420Planes i420 = picture::I420PlanesOf(planes.data(), kWidth, kHeight);
    const std::size_t luma = picture::LumaBytes(kWidth, kHeight);
    for (auto _ : state) {
        if (yuy2) {
            libyuv::NV12ToI420(source, kWidth, source + luma, kWidth, i420.y, i420.lumaStride,
                               i420.u, i420.chromaStride, i420.v, i420.chromaStride, kWidth,
                               kHeight);
            libyuv::I420ToYUY2(i420.y, i420.lumaStride, i420.u, i420.chromaStride, i420.v,
                               i420.chromaStride, sample.data(), kWidth * 2, kWidth, kHeight);
        } else {
            std::memcpy(sample.data(), source, picture::Yuv420Bytes(kWidth, kHeight));
        }
        benchmark::ClobberMemory();
    }
}
void BM_CopyIntoSampleNv12(benchmark::State& state) {
    BareRender(state, false);
}
void BM_BareConvertYuy2(benchmark::State& state) {
    BareRender(state, true);
}

// What the live schedule adds to each sample: reading the clock twice and choosing the slot.
void BM_ScheduleOnly(benchmark::State& state) {
    camera::LiveSchedule schedule;
    std::int64_t now = platform::MonotonicTime100ns();
    schedule.Start(now, 333333);
    for (auto _ : state) {
        const camera::LiveSchedule::Slot slot = schedule.Next(platform::MonotonicTime100ns());
        now += 333333;
        schedule.Delivered(slot, std::max(now, platform::MonotonicTime100ns()), false);
        benchmark::DoNotOptimize(slot);
    }
}

ORVANECAM_RATIO_BENCHMARK(BM_CopyIntoSampleNv12);
ORVANECAM_RATIO_BENCHMARK(BM_ScheduleOnly);
ORVANECAM_RATIO_BENCHMARK(BM_RenderingNv12);
ORVANECAM_RATIO_BENCHMARK(BM_RenderingYuy2);
ORVANECAM_RATIO_BENCHMARK(BM_StreamRenderNv12);
ORVANECAM_RATIO_BENCHMARK(BM_StreamRenderNv12Camera3);
ORVANECAM_RATIO_BENCHMARK(BM_BareConvertYuy2);
ORVANECAM_RATIO_BENCHMARK(BM_StreamRenderYuy2);

// Processor time per second of streaming 1080 x 1920 NV12 at 30 and 60 fps, a new frame each time:
// rendering, the frame copy of TakeFrame and the block bookkeeping (the producer's publishing,
// which a capture client does not pay, is left out).
void ReportStreamingLoad() {
    Camera& camera = TheCamera();
    camera.UseYuy2(false);
    std::vector<std::uint8_t> sample(picture::Yuv420Bytes(kWidth, kHeight));
    constexpr int kSamples = 90;
    double busySeconds = 0;
    for (int i = 0; i < kSamples; ++i) {
        camera.producer.PublishFrame(camera.frame.data(), kWidth, kHeight);
        const std::clock_t start = std::clock();
        camera.camera->Stream()->RenderFrame(sample.data(),
                                             static_cast<std::int64_t>(sample.size()));
        busySeconds += static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    }
    const double perSample = busySeconds / kSamples;
    std::printf(
        "streaming load: %.1f%% of one core at 30 fps, %.1f%% at 60 fps (%.2f ms per "
        "sample)\n",
        perSample * 30.0 * 100.0, perSample * 60.0 * 100.0, perSample * 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-bench" + std::to_string(platform::CurrentProcessId()));
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"BM_RenderingNv12", "BM_CopyIntoSampleNv12"},
                                             {"BM_RenderingYuy2", "BM_BareConvertYuy2"},
                                             {"BM_StreamRenderNv12", "BM_CopyIntoSampleNv12"},
                                             {"BM_StreamRenderNv12Camera3", "BM_StreamRenderNv12"},
                                             {"BM_StreamRenderYuy2", "BM_BareConvertYuy2"},
                                             {"BM_ScheduleOnly", "BM_CopyIntoSampleNv12"}});
    ReportStreamingLoad();
    return result;
}
