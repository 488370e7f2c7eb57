#include "picture/render.h"

#include <libyuv.h>

#include <cstring>

#include "picture/letterbox.h"
#include "picture/pixel_formats.h"

namespace orvanecam::picture {

bool IsRgb(SampleFormat format) {
    return format == SampleFormat::kRgb24 || format == SampleFormat::kRgb32;
}

std::size_t RgbStride(const MediaFrame& media) {
    return static_cast<std::size_t>(geometry::RgbStride(media.width, media.format));
}

std::size_t RowBytes(const MediaFrame& media) {
    const auto width = static_cast<std::size_t>(media.width);
    if (IsRgb(media.format)) return RgbStride(media);
    return media.format == SampleFormat::kYuy2 ? width * 2 : width;
}

std::size_t FrameBytes(const MediaFrame& media) {
    return static_cast<std::size_t>(geometry::FrameBytes(media.width, media.height, media.format));
}

namespace {

// The picture fitted into a tight NV12 frame, or black when there is no picture to show.
void LetterboxOrBlack(const OrientedPicture& picture, std::uint8_t* frame, const MediaFrame& media,
                      ScratchBuffer& scratch) {
    if (picture.data == nullptr) {
        FillBlackNv12(frame, media.width, media.height);
    } else {
        LetterboxNv12(picture.data, picture.width, picture.height, frame, media.width, media.height,
                      scratch);
    }
}

// BT.601 limited range, as the rest of the pipeline; a DIB is bottom-up unless asked otherwise,
// which libyuv writes when given a negative height.
void ConvertToRgb(const std::uint8_t* nv12, std::uint8_t* sample, const MediaFrame& media) {
    const std::uint8_t* chroma = nv12 + LumaBytes(media.width, media.height);
    const auto stride = static_cast<int>(RgbStride(media));
    const int height = media.topDown ? media.height : -media.height;
    if (media.format == SampleFormat::kRgb24) {
        libyuv::NV12ToRGB24(nv12, media.width, chroma, media.width, sample, stride, media.width,
                            height);
        // Rows are padded to four bytes; the padding is zero, not what the buffer held.
        const std::size_t rowBytes = static_cast<std::size_t>(media.width) * 3;
        if (rowBytes != static_cast<std::size_t>(stride)) {
            for (std::int32_t row = 0; row < media.height; ++row) {
                std::memset(sample +
                                static_cast<std::size_t>(row) * static_cast<std::size_t>(stride) +
                                rowBytes,
                            0, static_cast<std::size_t>(stride) - rowBytes);
            }
        }
    } else {
        libyuv::NV12ToARGB(nv12, media.width, chroma, media.width, sample, stride, media.width,
                           height);
    }
}

void ConvertToI420(const std::uint8_t* nv12, std::uint8_t* sample, const MediaFrame& media) {
    const I420Planes planes = I420PlanesOf(sample, media.width, media.height);
    libyuv::NV12ToI420(nv12, media.width, nv12 + LumaBytes(media.width, media.height), media.width,
                       planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                       planes.chromaStride, media.width, media.height);
}

}  // namespace

bool IsRenderableMedia(const MediaFrame& media) {
    if (media.format != SampleFormat::kYuy2) return IsValidPictureSize(media.width, media.height);
    return IsValidPictureSize(media.width, media.height + media.height % 2);
}

void FillBlackFrame(std::uint8_t* sample, const MediaFrame& media) {
    const std::size_t frameBytes = FrameBytes(media);
    // Formats whose black is a repeated four-byte group, as many whole groups as fit.
    const auto repeat = [&](const std::uint8_t(&group)[4]) {
        for (std::size_t at = 0; at + 4 <= frameBytes; at += 4) std::memcpy(sample + at, group, 4);
    };
    switch (media.format) {
        case SampleFormat::kNv12:
            FillBlackNv12(sample, media.width, media.height);
            return;
        case SampleFormat::kI420:
        case SampleFormat::kIyuv: {
            const std::size_t luma = LumaBytes(media.width, media.height);
            std::memset(sample, kBlackLuma, luma);
            std::memset(sample + luma, kBlackChroma, frameBytes - luma);
            return;
        }
        case SampleFormat::kYuy2:
            repeat({kBlackLuma, kBlackChroma, kBlackLuma, kBlackChroma});
            return;
        case SampleFormat::kRgb24:
            std::memset(sample, 0, frameBytes);
            return;
        case SampleFormat::kRgb32:
            repeat({0, 0, 0, 255});  // the fourth byte opaque, as the conversions write it
            return;
    }
}

void RenderToSample(RenderState& state, const std::uint8_t* source, std::int32_t sourceWidth,
                    std::int32_t sourceHeight, const Orientation& orientation, std::uint8_t* sample,
                    std::size_t sampleSize, const MediaFrame& media) {
    if (sample == nullptr || !IsRenderableMedia(media)) return;
    if (media.height % 2 != 0) {
        const std::size_t frameBytes = FrameBytes(media);
        if (sampleSize < frameBytes) return;
        std::memset(sample + frameBytes, 0, sampleSize - frameBytes);
        const MediaFrame lastRow{media.width, 1, SampleFormat::kYuy2};
        const std::size_t rowBytes = FrameBytes(lastRow);
        if (media.height > 1) {
            RenderToSample(state, source, sourceWidth, sourceHeight, orientation, sample,
                           frameBytes - rowBytes, {media.width, media.height - 1, media.format});
        }
        FillBlackFrame(sample + frameBytes - rowBytes, lastRow);
        return;
    }
    const std::size_t frameBytes = FrameBytes(media);
    if (sampleSize < frameBytes) return;
    std::memset(sample + frameBytes, 0, sampleSize - frameBytes);

    OrientedPicture picture{};
    if (!ApplyOrientation(state.orientation, source, sourceWidth, sourceHeight, orientation,
                          picture) &&
        !IsValidPictureSize(sourceWidth, sourceHeight)) {
        // Scaling an odd or oversized picture would read past its end.
        picture = {nullptr, 0, 0};
    }
    if (media.format == SampleFormat::kNv12) {
        LetterboxOrBlack(picture, sample, media, state.scaling);
        return;
    }
    const bool sameSize =
        picture.data != nullptr && picture.width == media.width && picture.height == media.height;
    // Nothing to fit: straight into the sample.
    if (IsRgb(media.format) && sameSize) {
        ConvertToRgb(picture.data, sample, media);
        return;
    }
    if (geometry::IsI420Layout(media.format) && sameSize) {
        ConvertToI420(picture.data, sample, media);
        return;
    }
    const std::size_t nv12Bytes = Yuv420Bytes(media.width, media.height);
    std::uint8_t* letterboxed = state.letterboxed.Reserve(nv12Bytes);
    LetterboxOrBlack(picture, letterboxed, media, state.scaling);
    if (IsRgb(media.format)) {
        ConvertToRgb(letterboxed, sample, media);
        return;
    }
    if (geometry::IsI420Layout(media.format)) {
        ConvertToI420(letterboxed, sample, media);
        return;
    }
    const I420Planes planes =
        I420PlanesOf(state.planes.Reserve(nv12Bytes), media.width, media.height);
    libyuv::NV12ToI420(letterboxed, media.width, letterboxed + LumaBytes(media.width, media.height),
                       media.width, planes.y, planes.lumaStride, planes.u, planes.chromaStride,
                       planes.v, planes.chromaStride, media.width, media.height);
    libyuv::I420ToYUY2(planes.y, planes.lumaStride, planes.u, planes.chromaStride, planes.v,
                       planes.chromaStride, sample, media.width * 2, media.width, media.height);
}

}  // namespace orvanecam::picture
