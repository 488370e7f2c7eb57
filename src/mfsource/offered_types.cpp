#include "mfsource/offered_types.h"

namespace orvanecam::mfsource {
namespace {

struct SubtypeOfFormat {
    picture::SampleFormat format;
    const GUID* subtype;
};

// The subtypes the source makes, in the order it offers them after the preferred YUV one.
const SubtypeOfFormat kSubtypes[] = {
    {picture::SampleFormat::kNv12, &MFVideoFormat_NV12},
    {picture::SampleFormat::kYuy2, &MFVideoFormat_YUY2},
    {picture::SampleFormat::kI420, &MFVideoFormat_I420},
    {picture::SampleFormat::kIyuv, &MFVideoFormat_IYUV},
};

// Rates listed beside the producer's own.
constexpr std::int32_t kCommonRates[] = {60, 30, 15};

const GUID& SubtypeOf(picture::SampleFormat format) {
    for (const SubtypeOfFormat& entry : kSubtypes) {
        if (entry.format == format) return *entry.subtype;
    }
    return MFVideoFormat_NV12;
}

HRESULT CreateType(const camera::Choice& choice, std::int32_t fps,
                   sdk::ComPtr<IMFMediaType>& type) {
    const picture::MediaFrame& media = choice.media;
    HRESULT result = MFCreateMediaType(type.Put());
    const auto width = static_cast<UINT32>(media.width);
    const auto height = static_cast<UINT32>(media.height);
    const auto set = [&](auto&& step) {
        if (SUCCEEDED(result)) result = step();
    };
    set([&] { return type->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Video); });
    set([&] { return type->SetGUID(MF_MT_SUBTYPE, SubtypeOf(media.format)); });
    set([&] { return MFSetAttributeSize(type.Get(), MF_MT_FRAME_SIZE, width, height); });
    set([&] {
        return MFSetAttributeRatio(type.Get(), MF_MT_FRAME_RATE, static_cast<UINT32>(fps), 1);
    });
    // Every rate a client may ask for.
    set([&] { return MFSetAttributeRatio(type.Get(), MF_MT_FRAME_RATE_RANGE_MIN, 1, 1); });
    set([&] {
        return MFSetAttributeRatio(type.Get(), MF_MT_FRAME_RATE_RANGE_MAX,
                                   static_cast<UINT32>(camera::kMaxFramesPerSecond), 1);
    });
    set([&] { return MFSetAttributeRatio(type.Get(), MF_MT_PIXEL_ASPECT_RATIO, 1, 1); });
    set([&] { return type->SetUINT32(MF_MT_INTERLACE_MODE, MFVideoInterlace_Progressive); });
    set([&] { return type->SetUINT32(MF_MT_ALL_SAMPLES_INDEPENDENT, TRUE); });
    set([&] { return type->SetUINT32(MF_MT_FIXED_SIZE_SAMPLES, TRUE); });
    set([&] {
        return type->SetUINT32(MF_MT_DEFAULT_STRIDE, static_cast<UINT32>(picture::RowBytes(media)));
    });
    set([&] {
        return type->SetUINT32(MF_MT_SAMPLE_SIZE, static_cast<UINT32>(picture::FrameBytes(media)));
    });
    return result;
}

}  // namespace

HRESULT CreateOfferedTypes(const camera::Offer& offer,
                           std::vector<sdk::ComPtr<IMFMediaType>>& types) {
    types.clear();
    // The NV12 and YUY2 types keep their positions; planar YUV comes after them.
    std::vector<camera::Choice> choices = offer.YuvChoices();
    for (const picture::SampleFormat planar :
         {picture::SampleFormat::kI420, picture::SampleFormat::kIyuv}) {
        const std::vector<camera::Choice> more = offer.ChoicesIn(planar);
        choices.insert(choices.end(), more.begin(), more.end());
    }
    // Clients (the source reader, the frame server) choose among the listed types, so the rates
    // they commonly ask for are listed too, after every type at the producer's rate.
    std::vector<std::int32_t> rates{offer.FramesPerSecond()};
    for (const std::int32_t common : kCommonRates) {
        if (common != offer.FramesPerSecond()) rates.push_back(common);
    }
    for (const std::int32_t fps : rates) {
        for (const camera::Choice& choice : choices) {
            sdk::ComPtr<IMFMediaType> type;
            const HRESULT result = CreateType(choice, fps, type);
            if (FAILED(result)) return result;
            types.push_back(std::move(type));
        }
    }
    return S_OK;
}

std::optional<StreamFormat> StreamFormatOf(IMFMediaType* type) {
    GUID major{}, subtype{};
    UINT32 width = 0, height = 0, numerator = 0, denominator = 0;
    if (type == nullptr || FAILED(type->GetGUID(MF_MT_MAJOR_TYPE, &major)) ||
        major != MFMediaType_Video || FAILED(type->GetGUID(MF_MT_SUBTYPE, &subtype)) ||
        FAILED(MFGetAttributeSize(type, MF_MT_FRAME_SIZE, &width, &height)) ||
        FAILED(MFGetAttributeRatio(type, MF_MT_FRAME_RATE, &numerator, &denominator))) {
        return std::nullopt;
    }
    for (const SubtypeOfFormat& entry : kSubtypes) {
        if (subtype != *entry.subtype) continue;
        return camera::CheckChoice(entry.format, width, height, false,
                                   camera::IntervalOfRate(numerator, denominator));
    }
    return std::nullopt;
}

std::optional<StreamFormat> CurrentFormatOf(IMFStreamDescriptor* descriptor) {
    sdk::ComPtr<IMFMediaTypeHandler> handler;
    sdk::ComPtr<IMFMediaType> type;
    if (descriptor == nullptr || FAILED(descriptor->GetMediaTypeHandler(handler.Put())) ||
        FAILED(handler->GetCurrentMediaType(type.Put()))) {
        return std::nullopt;
    }
    return StreamFormatOf(type.Get());
}

PROPVARIANT SystemTimeNow() {
    PROPVARIANT now;
    PropVariantInit(&now);
    now.vt = VT_I8;
    now.hVal.QuadPart = MFGetSystemTime();
    return now;
}

}  // namespace orvanecam::mfsource
