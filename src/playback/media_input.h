#pragma once
// The steps the media file player and the image source share: checking and resolving the path,
// reading the camera's preferred format, opening the file and its decoders, and the playback
// objects that every path frees in one order.
#include <cstdint>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

#include "orvanecam/orvanecam.h"
#include "playback/media_errors.h"
#include "playback/play_ticket.h"

namespace orvanecam::playback {

// The UTF-8 form of a UTF-16 path (for the demultiplexer); empty for empty text.
std::string WideToUtf8(const std::u16string& text);

// Normalises and resolves path, checks the file exists and converts it: 0 and the UTF-8 path, or
// 87 / the last error or 161 / 2.
std::uint32_t ResolveMediaPath(const OrvaneCamChar16* path, std::string& utf8Path);

// Whether camera asks for YUY2 (its nv12First is 0); 0, or the last error or 110 when the
// exchange cannot be opened.
std::uint32_t ReadSendYuy2(const camera::CameraIdentity& camera, bool& sendYuy2);

// Opens the decoder of stream index with flags (AV_CODEC_FLAG_*, which decoders read when they
// open): 87 for a bad index, 1630 without a decoder, 8 when no context can be made, else the
// mapped failure of configuring (13) or opening (1630) it.
std::uint32_t OpenStreamDecoder(AVFormatContext* format, int index, AVCodecContext*& decoder,
                                int flags = 0);

// Everything one call opens, freed by the destructor in the order frame, packet, resampler (see
// the audio half), audio decoder, video decoder, input.
struct MediaInput {
    MediaInput() = default;
    MediaInput(const MediaInput&) = delete;
    MediaInput& operator=(const MediaInput&) = delete;
    ~MediaInput();

    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    int videoIndex = -1;
    int audioIndex = -1;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwrContext* resampler = nullptr;
};

// Opens path, reads its stream information, finds the best video stream (and, when wanted, the
// best audio stream) and opens the video decoder with videoFlags: 0 or the code of the step that
// failed. A format context already in input (with its interrupt callback) is used, and options go
// to the demultiplexer.
std::uint32_t OpenMediaInput(const std::string& utf8Path, bool withAudio, MediaInput& input,
                             AVDictionary** options = nullptr, int videoFlags = 0);

// The decoder's size with odd sides made even; 0, or 13 outside 1..4096.
std::uint32_t OutputSizeOf(const AVCodecContext& decoder, std::int32_t& width,
                           std::int32_t& height);

// Allocates the packet and frame the read loop reuses: 0 or 8.
std::uint32_t AllocatePacketAndFrame(MediaInput& input);

// The read loop: hands every packet to handle (which returns 0 or a code that ends the loop) and
// unreferences it. 0 at the end of the file, the handler's code, or the mapped read failure (30).
template <class Handle>
std::uint32_t ReadPackets(MediaInput& input, Handle&& handle) {
    int read = 0;
    while (!CurrentPlayStopped() && (read = av_read_frame(input.format, input.packet)) >= 0) {
        const std::uint32_t handled = handle();
        av_packet_unref(input.packet);
        if (handled != 0) return handled;
    }
    if (CurrentPlayStopped()) return platform::kErrorCancelled;
    return read == AVERROR_EOF ? 0u : MediaErrorToWin32(read, platform::kErrorReadFault);
}

}  // namespace orvanecam::playback
