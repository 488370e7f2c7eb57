// Frame submission, sample rendering and the orientation transforms, each against the bare
// copies or library calls it stands on, measured in the same run.
#include <benchmark/benchmark.h>
#include <libyuv.h>
#include <orvanecam/orvanecam.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "picture/letterbox.h"
#include "picture/orientation.h"
#include "picture/pixel_formats.h"
#include "picture/render.h"
#include "platform/environment.h"
#include "platform/kernel_object_names.h"
#include "platform/process.h"

namespace {

using namespace orvanecam;
using namespace orvanecam::picture;

constexpr std::int32_t kPortraitWidth = 1080;
constexpr std::int32_t kPortraitHeight = 1920;

std::vector<std::uint8_t> Pattern(std::size_t bytes) {
    std::vector<std::uint8_t> data(bytes);
    for (std::size_t i = 0; i < bytes; ++i) data[i] = static_cast<std::uint8_t>(i * 31 + i / 4096);
    return data;
}

const std::vector<std::uint8_t>& PortraitNv12() {
    static const auto picture = Pattern(Yuv420Bytes(kPortraitWidth, kPortraitHeight));
    return picture;
}

const std::vector<std::uint8_t>& LandscapeNv12() {
    static const auto picture = Pattern(Yuv420Bytes(kPortraitHeight, kPortraitWidth));
    return picture;
}

// --- submission --------------------------------------------------------------------------

// The least a frame submission needs: one copy of the frame, and for a scaled one the scale.
void BM_OneMemcpy(benchmark::State& state) {
    const auto& source = LandscapeNv12();
    static std::vector<std::uint8_t> copy(source.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
}

void BM_SendFrameNV12SameSize(benchmark::State& state) {
    SetOutputFormat(kPortraitHeight, kPortraitWidth, 1);
    const auto& source = LandscapeNv12();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SendFrameNV12(source.data(), kPortraitHeight, kPortraitWidth, kPortraitHeight));
    }
}

void BM_NV12ScaleOnly(benchmark::State& state) {
    const auto& source = LandscapeNv12();
    static std::vector<std::uint8_t> scaled(Yuv420Bytes(kPortraitWidth, kPortraitHeight));
    for (auto _ : state) {
        libyuv::NV12Scale(source.data(), kPortraitHeight,
                          source.data() + LumaBytes(kPortraitHeight, kPortraitWidth),
                          kPortraitHeight, kPortraitHeight, kPortraitWidth, scaled.data(),
                          kPortraitWidth,
                          scaled.data() + LumaBytes(kPortraitWidth, kPortraitHeight),
                          kPortraitWidth, kPortraitWidth, kPortraitHeight, libyuv::kFilterBilinear);
        benchmark::ClobberMemory();
    }
}

void BM_SendFrameNV12Scaled(benchmark::State& state) {
    SetOutputFormat(kPortraitWidth, kPortraitHeight, 1);
    const auto& source = LandscapeNv12();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SendFrameNV12(source.data(), kPortraitHeight, kPortraitWidth, kPortraitHeight));
    }
}

// An RGB frame from a producer: libyuv's bare conversion into an NV12 frame, then the one copy
// that publishing it takes.
const std::vector<std::uint8_t>& LandscapeBgra() {
    static const auto picture =
        Pattern(static_cast<std::size_t>(kPortraitHeight) * kPortraitWidth * 4);
    return picture;
}

void BM_LibyuvARGBToNV12AndCopy(benchmark::State& state) {
    const std::int32_t width = kPortraitHeight, height = kPortraitWidth;
    static std::vector<std::uint8_t> converted(Yuv420Bytes(width, height));
    static std::vector<std::uint8_t> published(converted.size());
    for (auto _ : state) {
        libyuv::ARGBToNV12(LandscapeBgra().data(), width * 4, converted.data(), width,
                           converted.data() + LumaBytes(width, height), width, width, height);
        std::memcpy(published.data(), converted.data(), converted.size());
        benchmark::ClobberMemory();
    }
}

void BM_SendFrameBGRASameSize(benchmark::State& state) {
    SetOutputFormat(kPortraitHeight, kPortraitWidth, 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(SendFrameBGRA(LandscapeBgra().data(), kPortraitHeight,
                                               kPortraitWidth, kPortraitHeight * 4));
    }
}

// The general SendFrame's other formats at the same size, each against libyuv's bare conversion
// to NV12 (through I420 where the library has no one-pass kernel, and for full-range grey
// through its only route that maps the range, ARGB) and the one copy publishing takes.
std::int32_t BytesPerPixelOf(std::int32_t format) {
    switch (format) {
        case ORVANECAM_FORMAT_RGBA:
            return 4;
        case ORVANECAM_FORMAT_RGB24:
            return 3;
        case ORVANECAM_FORMAT_UYVY:
            return 2;
        default:
            return 1;
    }
}

template <std::int32_t Format>
void SendFormatSameSize(benchmark::State& state) {
    SetOutputFormat(kPortraitHeight, kPortraitWidth, 1);
    const std::int32_t stride = kPortraitHeight * BytesPerPixelOf(Format);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            SendFrame(Format, LandscapeBgra().data(), kPortraitHeight, kPortraitWidth, stride));
    }
}

template <std::int32_t Format>
void BareFormatToNv12AndCopy(benchmark::State& state) {
    const std::int32_t width = kPortraitHeight, height = kPortraitWidth;
    const std::uint8_t* source = LandscapeBgra().data();
    static std::vector<std::uint8_t> planes(Yuv420Bytes(width, height));
    static std::vector<std::uint8_t> converted(Yuv420Bytes(width, height));
    static std::vector<std::uint8_t> published(converted.size());
    const I420Planes i420 = I420PlanesOf(planes.data(), width, height);
    std::uint8_t* y = converted.data();
    std::uint8_t* uv = converted.data() + LumaBytes(width, height);
    for (auto _ : state) {
        switch (Format) {
            case ORVANECAM_FORMAT_RGBA:
                libyuv::ABGRToNV12(source, width * 4, y, width, uv, width, width, height);
                break;
            case ORVANECAM_FORMAT_UYVY:
                libyuv::UYVYToNV12(source, width * 2, y, width, uv, width, width, height);
                break;
            case ORVANECAM_FORMAT_I420:
                libyuv::I420ToNV12(source, width, source + LumaBytes(width, height), width / 2,
                                   source + LumaBytes(width, height) * 5 / 4, width / 2, y, width,
                                   uv, width, width, height);
                break;
            case ORVANECAM_FORMAT_GRAY8: {
                static std::vector<std::uint8_t> argb(LumaBytes(width, height) * 4);
                libyuv::J400ToARGB(source, width, argb.data(), width * 4, width, height);
                libyuv::ARGBToNV12(argb.data(), width * 4, y, width, uv, width, width, height);
                break;
            }
            default:  // RGB24: R, G, B is the library's "RAW"
                libyuv::RAWToI420(source, width * 3, i420.y, i420.lumaStride, i420.u,
                                  i420.chromaStride, i420.v, i420.chromaStride, width, height);
                libyuv::I420ToNV12(i420.y, i420.lumaStride, i420.u, i420.chromaStride, i420.v,
                                   i420.chromaStride, y, width, uv, width, width, height);
                break;
        }
        std::memcpy(published.data(), converted.data(), converted.size());
        benchmark::ClobberMemory();
    }
}

#define ORVANECAM_FORMAT_BENCHMARKS(name, format)                  \
    void BM_SendFrame##name##SameSize(benchmark::State& state) {   \
        SendFormatSameSize<format>(state);                         \
    }                                                              \
    void BM_Libyuv##name##ToNV12AndCopy(benchmark::State& state) { \
        BareFormatToNv12AndCopy<format>(state);                    \
    }                                                              \
    ORVANECAM_RATIO_BENCHMARK(BM_Libyuv##name##ToNV12AndCopy);     \
    ORVANECAM_RATIO_BENCHMARK(BM_SendFrame##name##SameSize);

ORVANECAM_FORMAT_BENCHMARKS(Rgba, ORVANECAM_FORMAT_RGBA)
ORVANECAM_FORMAT_BENCHMARKS(Rgb24, ORVANECAM_FORMAT_RGB24)
ORVANECAM_FORMAT_BENCHMARKS(Uyvy, ORVANECAM_FORMAT_UYVY)
ORVANECAM_FORMAT_BENCHMARKS(I420, ORVANECAM_FORMAT_I420)
ORVANECAM_FORMAT_BENCHMARKS(Gray8, ORVANECAM_FORMAT_GRAY8)

// --- rendering (buffers outlive the repetitions, so none pays for first-touch faults)
// ---------------------------------------------------------------------------

constexpr MediaFrame kLandscapeNv12{kPortraitHeight, kPortraitWidth, SampleFormat::kNv12};
constexpr MediaFrame kLandscapeYuy2{kPortraitHeight, kPortraitWidth, SampleFormat::kYuy2};

// What rendering a portrait picture into a landscape NV12 frame needs of the library.
void BareLetterbox(const std::uint8_t* source, std::uint8_t* frame) {
    FillBlackNv12(frame, kLandscapeNv12.width, kLandscapeNv12.height);
    const FitRect fit =
        FitInside(kPortraitWidth, kPortraitHeight, kLandscapeNv12.width, kLandscapeNv12.height);
    const std::size_t luma = LumaBytes(kLandscapeNv12.width, kLandscapeNv12.height);
    libyuv::NV12Scale(source, kPortraitWidth, source + LumaBytes(kPortraitWidth, kPortraitHeight),
                      kPortraitWidth, kPortraitWidth, kPortraitHeight, frame + fit.x,
                      kLandscapeNv12.width, frame + luma + fit.x, kLandscapeNv12.width, fit.width,
                      fit.height, libyuv::kFilterBilinear);
}

void BM_BareRenderNv12(benchmark::State& state) {
    static std::vector<std::uint8_t> sample(FrameBytes(kLandscapeNv12));
    for (auto _ : state) {
        BareLetterbox(PortraitNv12().data(), sample.data());
        benchmark::ClobberMemory();
    }
}

void BM_RenderToSampleNv12(benchmark::State& state) {
    static RenderState render;
    static std::vector<std::uint8_t> sample(FrameBytes(kLandscapeNv12));
    for (auto _ : state) {
        RenderToSample(render, PortraitNv12().data(), kPortraitWidth, kPortraitHeight, {},
                       sample.data(), sample.size(), kLandscapeNv12);
        benchmark::ClobberMemory();
    }
}

void BM_BareRenderYuy2(benchmark::State& state) {
    const std::int32_t width = kLandscapeYuy2.width, height = kLandscapeYuy2.height;
    static std::vector<std::uint8_t> letterboxed(Yuv420Bytes(width, height));
    static std::vector<std::uint8_t> planes(Yuv420Bytes(width, height));
    static std::vector<std::uint8_t> sample(FrameBytes(kLandscapeYuy2));
    const I420Planes i420 = I420PlanesOf(planes.data(), width, height);
    for (auto _ : state) {
        BareLetterbox(PortraitNv12().data(), letterboxed.data());
        libyuv::NV12ToI420(letterboxed.data(), width, letterboxed.data() + LumaBytes(width, height),
                           width, i420.y, i420.lumaStride, i420.u, i420.chromaStride, i420.v,
                           i420.chromaStride, width, height);
        libyuv::I420ToYUY2(i420.y, i420.lumaStride, i420.u, i420.chromaStride, i420.v,
                           i420.chromaStride, sample.data(), width * 2, width, height);
        benchmark::ClobberMemory();
    }
}

void BM_RenderToSampleYuy2(benchmark::State& state) {
    static RenderState render;
    static std::vector<std::uint8_t> sample(FrameBytes(kLandscapeYuy2));
    for (auto _ : state) {
        RenderToSample(render, PortraitNv12().data(), kPortraitWidth, kPortraitHeight, {},
                       sample.data(), sample.size(), kLandscapeYuy2);
        benchmark::ClobberMemory();
    }
}

// RGB (and below, I420) of a same-size frame against libyuv's bare conversion of it.
constexpr MediaFrame kLandscapeRgb24{kPortraitHeight, kPortraitWidth, SampleFormat::kRgb24};
constexpr MediaFrame kLandscapeRgb32{kPortraitHeight, kPortraitWidth, SampleFormat::kRgb32};

void RenderSameSize(benchmark::State& state, const MediaFrame& media) {
    static RenderState render;
    std::vector<std::uint8_t> sample(FrameBytes(media));
    for (auto _ : state) {
        RenderToSample(render, LandscapeNv12().data(), media.width, media.height, {}, sample.data(),
                       sample.size(), media);
        benchmark::ClobberMemory();
    }
}
// I420 of a same-size frame, straight into the sample, against libyuv's bare conversion.
constexpr MediaFrame kLandscapeI420{kPortraitHeight, kPortraitWidth, SampleFormat::kI420};

void BM_RenderToSampleI420(benchmark::State& state) {
    RenderSameSize(state, kLandscapeI420);
}
void BM_LibyuvNV12ToI420(benchmark::State& state) {
    std::vector<std::uint8_t> sample(FrameBytes(kLandscapeI420));
    const std::uint8_t* source = LandscapeNv12().data();
    const I420Planes i420 = I420PlanesOf(sample.data(), kPortraitHeight, kPortraitWidth);
    for (auto _ : state) {
        libyuv::NV12ToI420(source, kPortraitHeight,
                           source + LumaBytes(kPortraitHeight, kPortraitWidth), kPortraitHeight,
                           i420.y, i420.lumaStride, i420.u, i420.chromaStride, i420.v,
                           i420.chromaStride, kPortraitHeight, kPortraitWidth);
        benchmark::ClobberMemory();
    }
}

void BareRgb(benchmark::State& state, const MediaFrame& media) {
    std::vector<std::uint8_t> sample(FrameBytes(media));
    const std::uint8_t* source = LandscapeNv12().data();
    const std::uint8_t* chroma = source + LumaBytes(media.width, media.height);
    const auto stride = static_cast<int>(RgbStride(media));
    for (auto _ : state) {
        if (media.format == SampleFormat::kRgb24) {
            libyuv::NV12ToRGB24(source, media.width, chroma, media.width, sample.data(), stride,
                                media.width, -media.height);
        } else {
            libyuv::NV12ToARGB(source, media.width, chroma, media.width, sample.data(), stride,
                               media.width, -media.height);
        }
        benchmark::ClobberMemory();
    }
}
void BM_RenderToSampleRgb24(benchmark::State& state) {
    RenderSameSize(state, kLandscapeRgb24);
}
void BM_LibyuvNV12ToRGB24(benchmark::State& state) {
    BareRgb(state, kLandscapeRgb24);
}
void BM_RenderToSampleRgb32(benchmark::State& state) {
    RenderSameSize(state, kLandscapeRgb32);
}
void BM_LibyuvNV12ToARGB(benchmark::State& state) {
    BareRgb(state, kLandscapeRgb32);
}

// --- orientation -------------------------------------------------------------------------

// An I420 portrait picture and a destination of the same size for the library calls.
struct I420Pair {
    std::vector<std::uint8_t> source = Pattern(Yuv420Bytes(kPortraitWidth, kPortraitHeight));
    std::vector<std::uint8_t> destination = std::vector<std::uint8_t>(source.size());
    I420Planes From() { return I420PlanesOf(source.data(), kPortraitWidth, kPortraitHeight); }
    I420Planes To(std::int32_t width, std::int32_t height) {
        return I420PlanesOf(destination.data(), width, height);
    }
};

template <class Transform>
void RunTransform(benchmark::State& state, Transform transform) {
    OrientationBuffers buffers;
    const auto picture = Pattern(Yuv420Bytes(kPortraitWidth, kPortraitHeight));
    std::copy(picture.begin(), picture.end(), buffers.planesA.Reserve(picture.size()));
    OrientationWork work{buffers, true, kPortraitWidth, kPortraitHeight};
    for (auto _ : state) {
        transform(work);
        benchmark::ClobberMemory();
    }
}

void BM_MirrorI420(benchmark::State& state) {
    RunTransform(state, MirrorI420);
}
void BM_FlipI420(benchmark::State& state) {
    RunTransform(state, FlipI420);
}
void BM_RotateI420Right(benchmark::State& state) {
    RunTransform(state, RotateI420Right);
}

void BM_LibyuvI420Mirror(benchmark::State& state) {
    I420Pair pair;
    const I420Planes from = pair.From(), to = pair.To(kPortraitWidth, kPortraitHeight);
    for (auto _ : state) {
        libyuv::I420Mirror(from.y, from.lumaStride, from.u, from.chromaStride, from.v,
                           from.chromaStride, to.y, to.lumaStride, to.u, to.chromaStride, to.v,
                           to.chromaStride, kPortraitWidth, kPortraitHeight);
        benchmark::ClobberMemory();
    }
}

// The library flips vertically by copying with a negative height.
void BM_LibyuvI420Flip(benchmark::State& state) {
    I420Pair pair;
    const I420Planes from = pair.From(), to = pair.To(kPortraitWidth, kPortraitHeight);
    for (auto _ : state) {
        libyuv::I420Copy(from.y, from.lumaStride, from.u, from.chromaStride, from.v,
                         from.chromaStride, to.y, to.lumaStride, to.u, to.chromaStride, to.v,
                         to.chromaStride, kPortraitWidth, -kPortraitHeight);
        benchmark::ClobberMemory();
    }
}

void BM_LibyuvI420Rotate90(benchmark::State& state) {
    I420Pair pair;
    const I420Planes from = pair.From(), to = pair.To(kPortraitHeight, kPortraitWidth);
    for (auto _ : state) {
        libyuv::I420Rotate(from.y, from.lumaStride, from.u, from.chromaStride, from.v,
                           from.chromaStride, to.y, to.lumaStride, to.u, to.chromaStride, to.v,
                           to.chromaStride, kPortraitWidth, kPortraitHeight, libyuv::kRotate90);
        benchmark::ClobberMemory();
    }
}

ORVANECAM_RATIO_BENCHMARK(BM_OneMemcpy);
ORVANECAM_RATIO_BENCHMARK(BM_SendFrameNV12SameSize);
ORVANECAM_RATIO_BENCHMARK(BM_NV12ScaleOnly);
ORVANECAM_RATIO_BENCHMARK(BM_SendFrameNV12Scaled);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvARGBToNV12AndCopy);
ORVANECAM_RATIO_BENCHMARK(BM_SendFrameBGRASameSize);
ORVANECAM_RATIO_BENCHMARK(BM_BareRenderNv12);
ORVANECAM_RATIO_BENCHMARK(BM_RenderToSampleNv12);
ORVANECAM_RATIO_BENCHMARK(BM_BareRenderYuy2);
ORVANECAM_RATIO_BENCHMARK(BM_RenderToSampleYuy2);
ORVANECAM_RATIO_BENCHMARK(BM_RenderToSampleRgb24);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvNV12ToRGB24);
ORVANECAM_RATIO_BENCHMARK(BM_RenderToSampleRgb32);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvNV12ToARGB);
ORVANECAM_RATIO_BENCHMARK(BM_RenderToSampleI420);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvNV12ToI420);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvI420Mirror);
ORVANECAM_RATIO_BENCHMARK(BM_MirrorI420);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvI420Flip);
ORVANECAM_RATIO_BENCHMARK(BM_FlipI420);
ORVANECAM_RATIO_BENCHMARK(BM_LibyuvI420Rotate90);
ORVANECAM_RATIO_BENCHMARK(BM_RotateI420Right);

}  // namespace

int main(int argc, char** argv) {
    // A block of its own, apart from any camera in use on this machine.
    platform::SetEnvironmentValue(platform::kObjectSuffixVariable,
                                  "-bench" + std::to_string(platform::CurrentProcessId()));
    return bench::RunWithRatios(argc, argv,
                                {{"BM_SendFrameNV12SameSize", "BM_OneMemcpy"},
                                 {"BM_SendFrameNV12Scaled", "BM_NV12ScaleOnly"},
                                 {"BM_SendFrameBGRASameSize", "BM_LibyuvARGBToNV12AndCopy"},
                                 {"BM_SendFrameRgbaSameSize", "BM_LibyuvRgbaToNV12AndCopy"},
                                 {"BM_SendFrameRgb24SameSize", "BM_LibyuvRgb24ToNV12AndCopy"},
                                 {"BM_SendFrameUyvySameSize", "BM_LibyuvUyvyToNV12AndCopy"},
                                 {"BM_SendFrameI420SameSize", "BM_LibyuvI420ToNV12AndCopy"},
                                 {"BM_SendFrameGray8SameSize", "BM_LibyuvGray8ToNV12AndCopy"},
                                 {"BM_RenderToSampleNv12", "BM_BareRenderNv12"},
                                 {"BM_RenderToSampleYuy2", "BM_BareRenderYuy2"},
                                 {"BM_RenderToSampleRgb24", "BM_LibyuvNV12ToRGB24"},
                                 {"BM_RenderToSampleRgb32", "BM_LibyuvNV12ToARGB"},
                                 {"BM_RenderToSampleI420", "BM_LibyuvNV12ToI420"},
                                 {"BM_MirrorI420", "BM_LibyuvI420Mirror"},
                                 {"BM_FlipI420", "BM_LibyuvI420Flip"},
                                 {"BM_RotateI420Right", "BM_LibyuvI420Rotate90"}});
}
