// A camera's microphone as DirectShow audio clients meet it: the formats it offers and takes
// (and the hostile ones it refuses), the buffer size a recorder suggests, live delivery in real
// time with stamps that leave no gaps, the producer's sound when one sends and silence when none
// does.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "exchange/audio_ring_mapping.h"
#include "filter/audio_format.h"
#include "filter/filter_fixture.h"
#include "filter/microphone.h"
#include "filter/microphone_stream.h"
#include "platform/clock.h"
#include "sdk/com_ptr.h"

namespace orvanecam::testing {
namespace {

constexpr unsigned kWaitMs = 20000;

WAVEFORMATEX WaveOf(const AM_MEDIA_TYPE& type) {
    WAVEFORMATEX wave{};
    std::memcpy(&wave, type.pbFormat, sizeof(wave));
    return wave;
}

class MicrophoneTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { UseTheProgramsObjectNames(); }
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        HRESULT result = E_FAIL;
        m_microphone = filter::CMicrophone::CreateFor(camera::kFirstCamera, nullptr, &result);
        ASSERT_EQ(result, S_OK);
        m_microphone->NonDelegatingAddRef();
        m_filter = m_microphone;
        m_pin = m_microphone->Stream();
        ASSERT_EQ(m_pin->QueryInterface(IID_IAMStreamConfig, m_config.PutVoid()), S_OK);
    }
    void TearDown() override {
        m_sending = false;
        if (m_sender.joinable()) m_sender.join();
        m_config.Reset();
        TearDownCaptureGraph(m_filter, m_pin, m_sink);
        CoUninitialize();
    }

    HRESULT Connect(SinkOptions options = {}) {
        m_sink = new SinkPin(std::move(options));
        return m_pin->Connect(m_sink, nullptr);
    }
    // A producer sending a full-scale square wave in 10 ms pieces, in real time.
    void StartSending() {
        auto ring = exchange::AudioRingMapping::Open(camera::kFirstCamera.audioRingName);
        ASSERT_TRUE(ring.has_value());
        exchange::InitialiseAudioRing(ring->Ring());
        m_sending = true;
        m_sender = std::thread([this, mapping = std::move(*ring)]() mutable {
            std::vector<std::int16_t> piece(480 * 2);
            for (std::size_t i = 0; i < piece.size(); ++i) piece[i] = (i / 48) % 2 ? 20000 : -20000;
            while (m_sending) {
                exchange::WriteAudio(mapping.Ring(), piece.data(), 480,
                                     platform::MonotonicTime100ns());
                platform::SleepMs(10);
            }
        });
    }

    filter::CMicrophone* m_microphone = nullptr;
    IBaseFilter* m_filter = nullptr;
    IPin* m_pin = nullptr;
    SinkPin* m_sink = nullptr;
    sdk::ComPtr<IAMStreamConfig> m_config;
    std::atomic<bool> m_sending{false};
    std::thread m_sender;
};

TEST_F(MicrophoneTest, OffersSixteenBitPcmAtTheTwoRatesInStereoAndMonoTheRingsOwnFirst) {
    int count = 0, size = 0;
    ASSERT_EQ(m_config->GetNumberOfCapabilities(&count, &size), S_OK);
    ASSERT_EQ(count, 4);
    ASSERT_EQ(size, static_cast<int>(sizeof(AUDIO_STREAM_CONFIG_CAPS)));
    const std::pair<DWORD, WORD> expected[] = {{48000, 2}, {48000, 1}, {44100, 2}, {44100, 1}};
    for (int index = 0; index < count; ++index) {
        AM_MEDIA_TYPE* type = nullptr;
        AUDIO_STREAM_CONFIG_CAPS caps{};
        ASSERT_EQ(m_config->GetStreamCaps(index, &type, reinterpret_cast<BYTE*>(&caps)), S_OK);
        EXPECT_EQ(type->majortype, MEDIATYPE_Audio);
        EXPECT_EQ(type->subtype, MEDIASUBTYPE_PCM);
        const WAVEFORMATEX wave = WaveOf(*type);
        EXPECT_EQ(wave.nSamplesPerSec, expected[index].first);
        EXPECT_EQ(wave.nChannels, expected[index].second);
        EXPECT_EQ(wave.wBitsPerSample, 16);
        EXPECT_EQ(wave.nBlockAlign, 2 * wave.nChannels);
        EXPECT_EQ(caps.MinimumSampleFrequency, 44100u);
        EXPECT_EQ(caps.MaximumSampleFrequency, 48000u);
        EXPECT_EQ(caps.MaximumChannels, 2u);
        streaming::DeleteMediaType(type);
    }
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(WaveOf(m_sink->ConnectionType()).nSamplesPerSec, 48000u);
    EXPECT_EQ(WaveOf(m_sink->ConnectionType()).nChannels, 2);
}

TEST_F(MicrophoneTest, SetFormatChoosesTheConnectionAndHostileTypesAreRefused) {
    streaming::CMediaType chosen;
    ASSERT_EQ(filter::MakeAudioType({44100, 1}, chosen), S_OK);
    // Each a way a client's type can lie about itself.
    const std::function<void(AM_MEDIA_TYPE&, WAVEFORMATEX&)> lies[] = {
        [](AM_MEDIA_TYPE& type, WAVEFORMATEX&) { type.cbFormat = 10; },
        [](AM_MEDIA_TYPE& type, WAVEFORMATEX&) { type.subtype = MEDIASUBTYPE_NV12; },
        [](AM_MEDIA_TYPE&, WAVEFORMATEX& wave) { wave.wBitsPerSample = 8; },
        [](AM_MEDIA_TYPE&, WAVEFORMATEX& wave) { wave.nSamplesPerSec = 32000; },
        [](AM_MEDIA_TYPE&, WAVEFORMATEX& wave) { wave.nChannels = 6; },
        [](AM_MEDIA_TYPE&, WAVEFORMATEX& wave) { wave.nAvgBytesPerSec = 1; },
        [](AM_MEDIA_TYPE&, WAVEFORMATEX& wave) { wave.wFormatTag = 3; },
    };
    for (const auto& lie : lies) {
        streaming::CMediaType hostile(chosen);
        WAVEFORMATEX wave = WaveOf(hostile);
        lie(hostile, wave);
        std::memcpy(hostile.pbFormat, &wave, sizeof(wave));
        EXPECT_EQ(m_config->SetFormat(&hostile), VFW_E_INVALIDMEDIATYPE);
    }
    ASSERT_EQ(m_config->SetFormat(&chosen), S_OK);
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(WaveOf(m_sink->ConnectionType()).nSamplesPerSec, 44100u);
    EXPECT_EQ(WaveOf(m_sink->ConnectionType()).nChannels, 1);
    AM_MEDIA_TYPE* current = nullptr;
    ASSERT_EQ(m_config->GetFormat(&current), S_OK);
    EXPECT_EQ(WaveOf(*current).nSamplesPerSec, 44100u);
    streaming::DeleteMediaType(current);
}

TEST_F(MicrophoneTest, TheSuggestedBufferSizeIsEachSamplesAndTheLatency) {
    sdk::ComPtr<IAMBufferNegotiation> negotiation;
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMBufferNegotiation, negotiation.PutVoid()), S_OK);
    ALLOCATOR_PROPERTIES suggested{-1, 4800, -1, -1};  // 25 ms of 48 kHz stereo
    ASSERT_EQ(negotiation->SuggestAllocatorProperties(&suggested), S_OK);
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_EQ(negotiation->SuggestAllocatorProperties(&suggested), VFW_E_ALREADY_CONNECTED);
    ALLOCATOR_PROPERTIES actual{};
    ASSERT_EQ(negotiation->GetAllocatorProperties(&actual), S_OK);
    EXPECT_EQ(actual.cbBuffer, 4800);
    sdk::ComPtr<IAMPushSource> push;
    ASSERT_EQ(m_pin->QueryInterface(IID_IAMPushSource, push.PutVoid()), S_OK);
    REFERENCE_TIME latency = 0;
    ASSERT_EQ(push->GetLatency(&latency), S_OK);
    EXPECT_EQ(latency, 250000);

    ASSERT_EQ(m_filter->Run(0), S_OK);
    ASSERT_GE(m_sink->WaitForSamples(4, kWaitMs), 4u);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    for (const ReceivedSample& sample : m_sink->Samples()) EXPECT_EQ(sample.actualLength, 4800);
}

TEST_F(MicrophoneTest, DeliversInRealTimeWithoutGapsSilenceFirstThenTheProducersSound) {
    sdk::ComPtr<IAMFilterMiscFlags> flags;
    ASSERT_EQ(m_filter->QueryInterface(IID_IAMFilterMiscFlags, flags.PutVoid()), S_OK);
    EXPECT_EQ(flags->GetMiscFlags(), static_cast<ULONG>(AM_FILTER_MISC_FLAGS_IS_SOURCE));
    std::atomic<int> loud{0}, silent{0};
    SinkOptions options;
    options.onSample = [&](const BYTE* data, LONG length) {
        const auto* samples = reinterpret_cast<const std::int16_t*>(data);
        const bool quiet =
            std::all_of(samples, samples + length / 2, [](std::int16_t s) { return s == 0; });
        (quiet ? silent : loud)++;
    };
    ASSERT_EQ(Connect(std::move(options)), S_OK);
    const auto clock = sdk::ComPtr<SystemClock>::Adopt(new SystemClock());
    ASSERT_EQ(m_filter->SetSyncSource(clock.Get()), S_OK);
    REFERENCE_TIME start = 0;
    clock->GetTime(&start);
    ASSERT_EQ(m_filter->Run(start), S_OK);
    FILTER_STATE state = State_Stopped;
    ASSERT_GE(m_sink->WaitForSamples(10, kWaitMs), 10u);  // 200 ms of silence
    EXPECT_EQ(loud.load(), 0);
    StartSending();
    ASSERT_GE(m_sink->WaitForSamples(40, kWaitMs), 40u);
    ASSERT_EQ(m_filter->Pause(), S_OK);
    EXPECT_EQ(m_filter->GetState(0, &state), VFW_S_CANT_CUE);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    m_filter->SetSyncSource(nullptr);

    const std::vector<ReceivedSample> samples = m_sink->Samples();
    // Most of the 30 buffers after the producer started (a loaded machine may starve it a while).
    EXPECT_GT(loud.load(), 10) << silent.load() << " silent";
    for (std::size_t i = 1; i < samples.size(); ++i) {
        ASSERT_EQ(samples[i].start, samples[i - 1].end) << "a gap before sample " << i;
        EXPECT_EQ(samples[i].end - samples[i].start, 200000);
    }
    // Real time: 20 ms buffers leave no faster than their sound lasts (generous on the slow side).
    REFERENCE_TIME stopped = 0;
    clock->GetTime(&stopped);
    const double seconds = static_cast<double>(stopped - start) / 1e7;
    EXPECT_LE(static_cast<double>(samples.size()), seconds * 50 + 2);
}

}  // namespace
}  // namespace orvanecam::testing
