// Windows only, run under Wine or on Windows: the processor time per sample of the Media
// Foundation stream (paced, rendered into a new sample, queued, taken by the client) against the
// DirectShow pin streaming into a sink the same way, in the same run: 1080 x 1920 NV12 repeats of
// one published frame at 120 fps. The process's own time is all streaming work, so the two totals
// compare the front ends as a client meets them, pacing included.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "filter/vcam.h"
#include "filter/vcam_stream.h"
#include "graph_host/graph_host.h"
#include "mfsource/media_source.h"
#include "picture/pixel_formats.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace {

using namespace orvanecam;

constexpr std::int32_t kWidth = 1080;
constexpr std::int32_t kHeight = 1920;
constexpr int kSamples = 240;
constexpr int kRepetitions = 5;

// The processor time of this whole process, user and kernel, in seconds.
double ProcessSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& time) {
        return static_cast<double>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) |
                                   time.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

template <class Work>
double MedianSecondsPerSample(Work&& work) {
    std::vector<double> runs;
    for (int run = 0; run < kRepetitions; ++run) {
        const double start = ProcessSeconds();
        for (int i = 0; i < kSamples; ++i) work();
        runs.push_back((ProcessSeconds() - start) / kSamples);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

double DirectShowPinSeconds() {
    HRESULT result = S_OK;
    auto* camera = static_cast<filter::CVCam*>(filter::CVCam::CreateInstance(nullptr, &result));
    camera->NonDelegatingAddRef();
    IPin* pin = camera->Stream();
    auto* sink = new graph_host::SinkPin(graph_host::SinkOptions{});
    pin->Connect(sink, nullptr);
    camera->Pause();
    camera->Run(0);
    std::size_t received = sink->WaitForSamples(1, 5000);
    const double seconds =
        MedianSecondsPerSample([&] { received = sink->WaitForSamples(received + 1, 5000); });
    graph_host::TearDownCaptureGraph(camera, pin, sink);
    return seconds;
}

double MediaFoundationStreamSeconds() {
    mfsource::CameraMediaSource* source = nullptr;
    if (FAILED(mfsource::CameraMediaSource::Create(camera::kFirstCamera, nullptr, &source)))
        return 0;
    IMFPresentationDescriptor* descriptor = nullptr;
    source->CreatePresentationDescriptor(&descriptor);
    PROPVARIANT position;
    PropVariantInit(&position);
    source->Start(descriptor, nullptr, &position);
    IMFMediaEvent* event = nullptr;
    source->GetEvent(0, &event);  // the new stream
    PROPVARIANT value;
    PropVariantInit(&value);
    event->GetValue(&value);
    IMFMediaStream* stream = nullptr;
    value.punkVal->QueryInterface(IID_IMFMediaStream, reinterpret_cast<void**>(&stream));
    PropVariantClear(&value);
    event->Release();
    const auto takeEvent = [&] {
        IMFMediaEvent* next = nullptr;
        if (SUCCEEDED(stream->GetEvent(0, &next))) next->Release();
    };
    takeEvent();  // started
    const double seconds = MedianSecondsPerSample([&] {
        stream->RequestSample(nullptr);
        takeEvent();
    });
    stream->Release();
    descriptor->Release();
    source->Shutdown();
    source->Release();
    return seconds;
}

}  // namespace

int main() {
    // A block of its own, apart from any camera in use on this machine.
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-mfbench" + std::to_string(platform::CurrentProcessId()));
    MFStartup(MF_VERSION, MFSTARTUP_NOSOCKET);
    exchange::FramePublisher producer;
    exchange::FrameReader secondReader;  // keeps the new-frame event set, so repeats never wait
    producer.OpenOrCreateBlock();
    secondReader.OpenReaderBlock();
    // 120 fps: the schedule's waits are short, and they cost no processor time anyway.
    producer.AnnounceOutputFormat({kWidth, kHeight}, 1u);
    exchange::Atomic(producer.Block()->outFps).store(120);
    const std::vector<std::uint8_t> frame(picture::Yuv420Bytes(kWidth, kHeight), 90);
    producer.PublishFrame(frame.data(), kWidth, kHeight);

    const double pin = DirectShowPinSeconds();
    const double stream = MediaFoundationStreamSeconds();
    std::printf(
        "processor time per 1080 x 1920 NV12 sample (median of %d runs of %d):\n"
        "  DirectShow pin            %8.3f ms\n"
        "  Media Foundation stream   %8.3f ms\n"
        "  ratio                     %8.3f\n",
        kRepetitions, kSamples, pin * 1e3, stream * 1e3, pin > 0 ? stream / pin : 0.0);
    MFShutdown();
    return 0;
}
