// The sound server's playback stream through the simple PulseAudio API. The server has no
// per-buffer completion, so a chunk counts as played once the stream's position (bytes written
// less the latency still queued in the server) has passed its end.
#include "platform/audio_device.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <string>

#include "platform/utf16.h"
#include "platform/win32_errors.h"

namespace orvanecam::platform {
namespace {

class PulseAudioDevice final : public AudioDevice {
  public:
    explicit PulseAudioDevice(pa_simple* stream) : m_stream(stream) {}
    // The caller has seen every chunk played (or given up on the server): no drain, which could
    // wait on a server that no longer answers.
    ~PulseAudioDevice() override { pa_simple_free(m_stream); }

    std::uint32_t Submit(AudioChunk& chunk) override {
        int error = 0;
        if (pa_simple_write(m_stream, chunk.data.data(), chunk.data.size(), &error) < 0) {
            return kErrorWriteFault;
        }
        m_written += chunk.data.size();
        chunk.endOffset = m_written;
        return kErrorSuccess;
    }
    bool IsDone(AudioChunk& chunk) override {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(m_stream, &error);
        if (latency == static_cast<pa_usec_t>(-1)) return true;  // the stream is gone
        const std::uint64_t queued = latency * kAudioRate / 1000000u * kAudioBytesPerFrame;
        return m_written <= queued || chunk.endOffset <= m_written - queued;
    }
    void Release(AudioChunk&) override {}
    // The server holds copies of the sound, never the chunks: dropping its queue is enough.
    void Reset() override {
        int error = 0;
        pa_simple_flush(m_stream, &error);
        m_written = 0;
    }

  private:
    pa_simple* m_stream;
    std::uint64_t m_written = 0;
};

}  // namespace

std::unique_ptr<AudioDevice> OpenAudioDevice(std::u16string_view name, std::uint32_t& error) {
    const pa_sample_spec sampleFormat{PA_SAMPLE_S16LE, kAudioRate, kAudioChannels};
    // A server buffer of a second holds everything the caller queues (half a second and a chunk),
    // so writes never wait for the server; starting at once lets a clip shorter than the buffer
    // play at all.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = kAudioRate * kAudioBytesPerFrame;
    attributes.prebuf = 0;
    attributes.minreq = static_cast<std::uint32_t>(-1);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    int failure = 0;
    const std::string sink = Utf16ToUtf8(name);
    pa_simple* stream = pa_simple_new(nullptr, "OrvaneCam", PA_STREAM_PLAYBACK,
                                      sink.empty() ? nullptr : sink.c_str(), "media sound",
                                      &sampleFormat, nullptr, &attributes, &failure);
    if (stream == nullptr) {
        // A name no sink can have (a space in it, say) is as missing as one no sink has.
        const bool missing =
            !sink.empty() && (failure == PA_ERR_NOENTITY || failure == PA_ERR_INVALID);
        error = missing ? kErrorNotFound : kErrorOpenFailed;
        return nullptr;
    }
    error = kErrorSuccess;
    return std::make_unique<PulseAudioDevice>(stream);
}

}  // namespace orvanecam::platform
