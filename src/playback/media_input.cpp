#include "playback/media_input.h"

#include <mutex>

#include "exchange/publisher.h"
#include "platform/paths.h"
#include "platform/utf16.h"
#include "playback/media_errors.h"
#include "producer/path_rules.h"
#include "producer/producer_call.h"
#include "producer/text_rules.h"

namespace orvanecam::playback {

std::string WideToUtf8(const std::u16string& text) {
    return platform::Utf16ToUtf8(text);
}

std::uint32_t ResolveMediaPath(const OrvaneCamChar16* path, std::string& utf8Path) {
    std::u16string full;
    if (const std::uint32_t error = producer::ResolveExistingFile(path, full); error != 0)
        return error;
    utf8Path = WideToUtf8(full);
    return utf8Path.empty() ? platform::kErrorBadPathname : 0u;
}

std::uint32_t ReadSendYuy2(const camera::CameraIdentity& camera, bool& sendYuy2) {
    std::lock_guard<std::mutex> lock(producer::ProducerMutex());
    exchange::FramePublisher& publisher = exchange::ProducerExchange(camera.Objects());
    if (const std::uint32_t error = producer::OpenProducerBlock(publisher); error != 0) {
        return error;
    }
    const std::uint32_t nv12First = exchange::Atomic(publisher.Block()->nv12First).load();
    sendYuy2 = nv12First == 0;
    return 0;
}

std::uint32_t OpenStreamDecoder(AVFormatContext* format, int index, AVCodecContext*& decoder,
                                int flags) {
    decoder = nullptr;
    if (format == nullptr || index < 0 || static_cast<unsigned>(index) >= format->nb_streams) {
        return platform::kErrorInvalidParameter;
    }
    const AVCodecParameters* parameters = format->streams[index]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
    if (codec == nullptr) return platform::kErrorUnsupportedType;
    AVCodecContext* context = avcodec_alloc_context3(codec);
    if (context == nullptr) return platform::kErrorNotEnoughMemory;
    if (const int result = avcodec_parameters_to_context(context, parameters); result < 0) {
        avcodec_free_context(&context);
        return MediaErrorToWin32(result, platform::kErrorInvalidData);
    }
    context->flags |= flags;
    if (const int result = avcodec_open2(context, codec, nullptr); result < 0) {
        avcodec_free_context(&context);
        return MediaErrorToWin32(result, platform::kErrorUnsupportedType);
    }
    decoder = context;
    return 0;
}

MediaInput::~MediaInput() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    if (resampler != nullptr) swr_free(&resampler);
    avcodec_free_context(&audio);
    avcodec_free_context(&video);
    avformat_close_input(&format);
}

std::uint32_t OpenMediaInput(const std::string& utf8Path, bool withAudio, MediaInput& input,
                             AVDictionary** options, int videoFlags) {
    if (const int result = avformat_open_input(&input.format, utf8Path.c_str(), nullptr, options);
        result < 0) {
        return MediaErrorToWin32(result, platform::kErrorOpenFailed);
    }
    if (input.format == nullptr) return platform::kErrorOpenFailed;
    if (const int result = avformat_find_stream_info(input.format, nullptr); result < 0) {
        return MediaErrorToWin32(result, platform::kErrorInvalidData);
    }
    input.videoIndex = av_find_best_stream(input.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (withAudio) {
        input.audioIndex =
            av_find_best_stream(input.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    }
    if (input.videoIndex < 0) return platform::kErrorUnsupportedType;
    return OpenStreamDecoder(input.format, input.videoIndex, input.video, videoFlags);
}

std::uint32_t OutputSizeOf(const AVCodecContext& decoder, std::int32_t& width,
                           std::int32_t& height) {
    width = decoder.width & ~1;
    height = decoder.height & ~1;
    return geometry::IsSideInRange(width) && geometry::IsSideInRange(height)
               ? 0u
               : platform::kErrorInvalidData;
}

std::uint32_t AllocatePacketAndFrame(MediaInput& input) {
    input.packet = av_packet_alloc();
    input.frame = av_frame_alloc();
    return input.packet != nullptr && input.frame != nullptr ? 0u : platform::kErrorNotEnoughMemory;
}

}  // namespace orvanecam::playback
