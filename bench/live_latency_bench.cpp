// Added latency of a live source through the camera. A sender encodes 1280x720 MPEG-2 at 30 fps,
// each frame carrying its send time in 32 luma blocks, to an MPEG-TS stream on the loopback; the
// camera plays the stream (getMultiMediaToCamera) and a reader of the camera's block reads each
// frame's stamp. The median and 99th percentile are printed against the encode and decode of the
// same frames measured alone in the same run, and for long runs each minute's figures with the
// process's resident memory (the process is the producer).
// Usage: live_latency_bench [SECONDS [nut]]   (default 30 s of MPEG-TS over UDP; 600 for the
// ten-minute run; nut: NUT over TCP)
#include <orvanecam/orvanecam.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "exchange/reader.h"
#include "platform/clock.h"
#include "platform/utf16.h"

namespace {

using namespace orvanecam;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kFps = 30;
constexpr int kStampBits = 32;
constexpr int kStampBlock = 32;  // pixels a side: large enough to survive the encoder

// How the stream travels: MPEG-TS over UDP as IP cameras and encoders send it, or NUT (whose
// packets are whole frames) over TCP, which shows the camera's own part without the MPEG-TS
// demultiplexer's wait for the next packet.
struct Transport {
    const char* muxer;
    const char* senderUrl;
    const char* playerUrl;
};
constexpr Transport kMpegTsOverUdp{"mpegts", "udp://127.0.0.1:47990?pkt_size=1316",
                                   "udp://127.0.0.1:47990"};
constexpr Transport kNutOverTcp{"nut", "tcp://127.0.0.1:47991?listen=1&tcp_nodelay=1",
                                "tcp://127.0.0.1:47991"};

// Microseconds on the monotonic clock, as the 32 bits a frame carries.
std::uint32_t NowUs() {
    return static_cast<std::uint32_t>(platform::MonotonicTime100ns() / 10);
}

void Stamp(AVFrame& frame, std::uint32_t value) {
    for (int bit = 0; bit < kStampBits; ++bit) {
        const std::uint8_t luma = ((value >> bit) & 1u) != 0 ? 235 : 16;
        for (int y = 0; y < kStampBlock; ++y) {
            std::memset(frame.data[0] + y * frame.linesize[0] + bit * kStampBlock, luma,
                        kStampBlock);
        }
    }
}

std::uint32_t ReadStamp(const std::uint8_t* luma, int stride) {
    std::uint32_t value = 0;
    for (int bit = 0; bit < kStampBits; ++bit) {
        const std::uint8_t centre =
            luma[(kStampBlock / 2) * stride + bit * kStampBlock + kStampBlock / 2];
        if (centre > 128) value |= 1u << bit;
    }
    return value;
}

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1));
    return values[index];
}

// An MPEG-2 encoder without B-frames and a grey picture to stamp.
struct Encoder {
    Encoder() {
        const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
        context = avcodec_alloc_context3(codec);
        context->width = kWidth;
        context->height = kHeight;
        context->time_base = {1, kFps};
        context->framerate = {kFps, 1};
        context->pix_fmt = AV_PIX_FMT_YUV420P;
        context->gop_size = 15;
        context->max_b_frames = 0;
        context->flags |= AV_CODEC_FLAG_LOW_DELAY;
        context->bit_rate = 4000000;
        opened = avcodec_open2(context, codec, nullptr) >= 0;
        frame = av_frame_alloc();
        frame->format = AV_PIX_FMT_YUV420P;
        frame->width = kWidth;
        frame->height = kHeight;
        opened = opened && av_frame_get_buffer(frame, 0) >= 0;
        packet = av_packet_alloc();
        for (int plane = 0; opened && plane < 3; ++plane) {
            const int rows = plane == 0 ? kHeight : kHeight / 2;
            std::memset(
                frame->data[plane], 128,
                static_cast<std::size_t>(frame->linesize[plane]) * static_cast<std::size_t>(rows));
        }
    }
    ~Encoder() {
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&context);
    }
    // Stamps and encodes frame number n; each packet it yields goes to deliver.
    template <class Deliver>
    void Encode(std::int64_t n, std::uint32_t stamp, Deliver&& deliver) {
        av_frame_make_writable(frame);
        Stamp(*frame, stamp);
        frame->pts = n;
        avcodec_send_frame(context, frame);
        while (avcodec_receive_packet(context, packet) >= 0) {
            deliver(*packet);
            av_packet_unref(packet);
        }
    }

    AVCodecContext* context = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    bool opened = false;
};

// The baseline: stamping, encoding and decoding each frame in one thread, no stream and no camera.
std::vector<double> EncodeAndDecodeAlone(int frames) {
    Encoder encoder;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_MPEG2VIDEO);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    decoder->flags |= AV_CODEC_FLAG_LOW_DELAY;
    avcodec_open2(decoder, codec, nullptr);
    AVFrame* decoded = av_frame_alloc();
    std::vector<double> latencies;
    for (int n = 0; n < frames && encoder.opened; ++n) {
        const std::uint32_t start = NowUs();
        encoder.Encode(n, start, [&](AVPacket& packet) {
            avcodec_send_packet(decoder, &packet);
            while (avcodec_receive_frame(decoder, decoded) >= 0) {
                const std::uint32_t stamp = ReadStamp(decoded->data[0], decoded->linesize[0]);
                latencies.push_back((NowUs() - stamp) / 1000.0);
                av_frame_unref(decoded);
            }
        });
    }
    av_frame_free(&decoded);
    avcodec_free_context(&decoder);
    return latencies;
}

// Sends stamped frames at 30 fps until stop; listening is set once the sender's output is open
// (for TCP: once the player has connected).
void Send(const Transport& transport, const std::atomic<bool>& stop, std::atomic<bool>& listening) {
    Encoder encoder;
    AVFormatContext* output = nullptr;
    avformat_alloc_output_context2(&output, nullptr, transport.muxer, nullptr);
    if (output == nullptr || !encoder.opened) return;
    AVStream* stream = avformat_new_stream(output, nullptr);
    avcodec_parameters_from_context(stream->codecpar, encoder.context);
    stream->time_base = {1, 90000};
    output->max_delay = 0;
    output->flags |= AVFMT_FLAG_FLUSH_PACKETS;
    listening = true;  // a TCP listener is ready within moments of this
    if (avio_open(&output->pb, transport.senderUrl, AVIO_FLAG_WRITE) < 0 ||
        avformat_write_header(output, nullptr) < 0) {
        avformat_free_context(output);
        return;
    }
    const std::int64_t interval = 10000000 / kFps;
    const std::int64_t start = platform::MonotonicTime100ns();
    for (std::int64_t n = 0; !stop; ++n) {
        platform::SleepUntil100ns(start + n * interval);
        encoder.Encode(n, NowUs(), [&](AVPacket& packet) {
            av_packet_rescale_ts(&packet, encoder.context->time_base, stream->time_base);
            packet.stream_index = 0;
            av_write_frame(output, &packet);
        });
    }
    av_write_trailer(output);
    avio_closep(&output->pb);
    avformat_free_context(output);
}

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    }
    return 0;
}

struct Sample {
    double latencyMs;
    int minute;
};

// Reads each new frame's stamp from the camera's block for seconds.
std::vector<Sample> ReadCamera(int seconds) {
    exchange::FrameReader& reader = exchange::ReaderExchange();
    std::vector<Sample> samples;
    // Reserved whole, so that the memory figures show the producer's growth, not this list's.
    samples.reserve(static_cast<std::size_t>(seconds) * kFps * 2);
    const std::int64_t start = platform::MonotonicTime100ns();
    const std::int64_t end = start + std::int64_t{seconds} * 10000000;
    while (!reader.OpenReaderBlock() && platform::MonotonicTime100ns() < end) platform::SleepMs(10);
    reader.OpenReaderEvent();
    std::uint32_t lastSeq = reader.CurrentSeq();
    int minute = 0;
    for (std::int64_t now = start; now < end; now = platform::MonotonicTime100ns()) {
        const int elapsedMinutes = static_cast<int>((now - start) / 600000000);
        if (elapsedMinutes != minute) {
            std::printf("  minute %d ends: resident memory %ld KiB\n", minute + 1, ResidentKiB());
            minute = elapsedMinutes;
        }
        const std::uint32_t seq = reader.WaitForNewFrameUntil(lastSeq, now + 1000000);
        if (seq == lastSeq) continue;
        lastSeq = seq;
        std::uint32_t stamp = 0;
        bool stamped = false;
        reader.RenderNewFrame([&](const std::uint8_t* frame, exchange::FrameSize size) {
            stamped = size.width == kWidth && size.height == kHeight;
            if (stamped) stamp = ReadStamp(frame, size.width);
        });
        const double latencyMs = (NowUs() - stamp) / 1000.0;
        // Anything else is not a stamped frame (the vacant picture, or a frame torn by a writer).
        if (stamped && latencyMs >= 0 && latencyMs < 5000) samples.push_back({latencyMs, minute});
    }
    return samples;
}

void Print(const char* name, const std::vector<double>& latencies) {
    std::printf("  %-34s %6zu frames  median %7.2f ms  p99 %7.2f ms\n", name, latencies.size(),
                Percentile(latencies, 0.5), Percentile(latencies, 0.99));
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 30;
    const std::vector<double> alone = EncodeAndDecodeAlone(300);

    const Transport& transport =
        argc > 2 && std::string(argv[2]) == "nut" ? kNutOverTcp : kMpegTsOverUdp;
    std::atomic<bool> stop{false};
    std::atomic<bool> listening{false};
    std::thread sender([&] { Send(transport, stop, listening); });
    while (!listening) platform::SleepMs(1);
    platform::SleepMs(200);
    const std::u16string url = platform::Utf8ToUtf16(transport.playerUrl);
    std::thread player(
        [&] { getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(url.c_str())); });
    const long residentBefore = ResidentKiB();
    const std::vector<Sample> samples = ReadCamera(seconds);
    const long residentAfter = ResidentKiB();
    stop = true;
    StopMediaToCamera();
    sender.join();
    player.join();

    // The first seconds are the connection and the decoder's start: measured from the third.
    std::vector<double> live;
    std::vector<std::vector<double>> perMinute((seconds + 59) / 60);
    const std::size_t skip = std::min<std::size_t>(samples.size(), 2 * kFps);
    for (std::size_t i = skip; i < samples.size(); ++i) {
        live.push_back(samples[i].latencyMs);
        perMinute[static_cast<std::size_t>(samples[i].minute)].push_back(samples[i].latencyMs);
    }
    std::printf("\n1280x720 MPEG-2 at %d fps, %s to %s on the loopback, %d s:\n", kFps,
                transport.muxer, transport.playerUrl, seconds);
    Print("stamp to decoded frame, alone", alone);
    Print("stamp to the camera's block", live);
    if (perMinute.size() > 1) {
        for (std::size_t minute = 0; minute < perMinute.size(); ++minute) {
            const std::string name = "  minute " + std::to_string(minute + 1);
            Print(name.c_str(), perMinute[minute]);
        }
        const double first = Percentile(perMinute.front(), 0.99);
        const double last = Percentile(perMinute.back(), 0.99);
        std::printf("  p99 of the last minute / the first = %.3f\n", first > 0 ? last / first : 0);
    }
    const double intervalMs = 1000.0 / kFps;
    const double baseline = Percentile(alone, 0.5);
    const double median = Percentile(live, 0.5);
    std::printf("\nratios (lower is better):\n");
    std::printf("  camera path median / encode and decode alone = %.3f\n",
                baseline > 0 ? median / baseline : 0);
    std::printf("  added at the median: %.2f ms = %.2f frame intervals (goal: at most 1)\n",
                median - baseline, (median - baseline) / intervalMs);
    std::printf("  resident memory: %ld KiB at the start, %ld KiB at the end\n", residentBefore,
                residentAfter);
    return live.empty() ? 1 : 0;
}
