// getMultiMediaToCamera given a URL: what it refuses at once, what it reports when nothing
// answers, how fast a stop ends it while it waits, and hostile streams served on the loopback.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

extern "C" {
#include <libavformat/avio.h>
}

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "api/module_block.h"
#include "exchange/block_access.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/utf16.h"
#include "playback/log_redaction.h"

namespace orvanecam::testing {
namespace {

std::uint32_t Play(const std::string& url) {
    const std::u16string text = platform::Utf8ToUtf16(url);
    return getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(text.c_str()));
}

class LiveSourcesTest : public ModuleBlockTest {
  protected:
    // Builds whose FFmpeg reads no network protocol refuse every network URL with 50.
    static bool ReadsNetworkStreams() { return Play("tcp://127.0.0.1:1") != 50u; }
};

TEST_F(LiveSourcesTest, MalformedUrlsAndUnknownSchemesAreRefusedAtOnce) {
    const std::uint32_t seq = Seq();
    for (const char* malformed : {"rtsp://", "http://127.0.0.1/a b", "udp://\x01"}) {
        EXPECT_EQ(Play(malformed), 161u) << malformed;
    }
    for (const char* unknown : {"gopher://127.0.0.1/", "x-y://z", "file://clip.mp4"}) {
        EXPECT_EQ(Play(unknown), 50u) << unknown;
    }
    // A drive letter is no scheme: a path, here one that is not there.
    EXPECT_EQ(Play("C:/no/such/clip.mp4"), 2u);
    EXPECT_EQ(Seq(), seq);
}

TEST_F(LiveSourcesTest, APortNobodyListensOnIsRefusedQuickly) {
    if (!ReadsNetworkStreams()) GTEST_SKIP() << "this build reads no network streams";
    const std::uint64_t start = platform::TickCountMs();
    EXPECT_EQ(Play("tcp://127.0.0.1:1"), 1225u);
    EXPECT_EQ(Play("http://127.0.0.1:1/live.ts"), 1225u);
    EXPECT_EQ(Play("rtsp://127.0.0.1:1/live"), 1225u);
    const std::uint64_t took = platform::TickCountMs() - start;
    std::printf("three refused connections in %llu ms\n", static_cast<unsigned long long>(took));
    EXPECT_LT(took, 10000u);
}

// Nothing arrives on the port: the play waits for the stream until stopped, or until its
// connection time runs out.
TEST_F(LiveSourcesTest, AStopEndsAPlayThatIsStillConnecting) {
    if (!ReadsNetworkStreams()) GTEST_SKIP() << "this build reads no network streams";
    std::uint32_t result = 0;
    std::uint64_t returned = 0;
    std::thread player([&] {
        result = Play("udp://127.0.0.1:47913");
        returned = platform::TickCountMs();
    });
    platform::SleepMs(500);
    const std::uint64_t stopped = platform::TickCountMs();
    EXPECT_EQ(StopMediaToCamera(), 0u);
    player.join();
    EXPECT_EQ(result, 1223u);
    std::printf("a connecting play ended %llu ms after the stop\n",
                static_cast<unsigned long long>(returned - stopped));
    EXPECT_LT(returned - stopped, 1000u);

    const std::uint64_t start = platform::TickCountMs();
    EXPECT_EQ(Play("udp://127.0.0.1:47914"), 1460u);
    EXPECT_LT(platform::TickCountMs() - start, 10000u);
}

// Serves the same bytes to every client of tcp://127.0.0.1:port, one client after another, at
// about 400 KB/s as a live source would, and closes each connection after them, until destroyed.
// It listens once constructed.
class LoopbackServer {
  public:
    LoopbackServer(int port, std::string payload)
        : m_url("tcp://127.0.0.1:" + std::to_string(port)), m_payload(std::move(payload)) {
        AVDictionary* options = nullptr;
        av_dict_set(&options, "listen", "2", 0);  // several clients, one after another
        av_dict_set(&options, "listen_timeout", "200", 0);
        EXPECT_GE(avio_open2(&m_server, m_url.c_str(), AVIO_FLAG_WRITE, nullptr, &options), 0);
        av_dict_free(&options);
        m_thread = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        m_stop = true;
        m_thread.join();
        avio_closep(&m_server);
    }
    const std::string& Url() const { return m_url; }

  private:
    void Serve() {
        while (!m_stop && m_server != nullptr) {
            AVIOContext* client = nullptr;
            if (avio_accept(m_server, &client) < 0) continue;  // none within the listen time-out
            while (avio_handshake(client) > 0) {
            }
            constexpr std::size_t kChunk = 4096;
            for (std::size_t at = 0; at < m_payload.size() && !m_stop; at += kChunk) {
                const auto size = static_cast<int>(std::min(kChunk, m_payload.size() - at));
                avio_write(client, reinterpret_cast<const unsigned char*>(&m_payload[at]), size);
                avio_flush(client);
                platform::SleepMs(10);
            }
            avio_closep(&client);
        }
    }

    std::string m_url;
    std::string m_payload;
    AVIOContext* m_server = nullptr;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

std::string TestMedia(const char* name) {
    std::ifstream file(platform::ExecutableDirectory() + "/test-media/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Plays url for about two seconds, noting each output width the camera is given, then stops it:
// the play's code, and how long after the stop it returned.
struct HostilePlay {
    std::uint32_t result = 0;
    std::uint64_t stopToReturnMs = 0;
    std::set<std::int32_t> widths;
};

HostilePlay PlayForAWhile(const std::string& url, exchange::SharedBlock& block) {
    HostilePlay play;
    std::atomic<bool> returned{false};
    std::uint64_t returnedAt = 0;
    std::thread player([&] {
        play.result = Play(url);
        returnedAt = platform::TickCountMs();
        returned = true;
    });
    for (int i = 0; i < 200 && !returned; ++i) {
        play.widths.insert(exchange::Atomic(block.outWidth).load());
        platform::SleepMs(10);
    }
    const std::uint64_t stopped = platform::TickCountMs();
    StopMediaToCamera();
    player.join();
    play.stopToReturnMs = returnedAt > stopped ? returnedAt - stopped : 0;
    return play;
}

TEST_F(LiveSourcesTest, HostileStreamsAreSurvivedAndStopPromptly) {
    if (!ReadsNetworkStreams()) GTEST_SKIP() << "this build reads no network streams";
    std::string noise(256 * 1024, '\0');
    std::uint32_t state = 0x2545F491u;
    for (char& byte : noise) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state);
    }
    const std::string frameHeader = "FRAME\n" + std::string(1000, '\x80');
    std::string damaged = TestMedia("sizes.ts");
    ASSERT_GT(damaged.size(), 100000u);
    for (std::size_t at = 1000; at < damaged.size(); at += 7 * 188) damaged[at] ^= '\x5a';
    damaged.resize(damaged.size() * 3 / 5);
    const struct {
        const char* name;
        std::string bytes;
    } streams[] = {
        {"random bytes", noise},
        {"a 20000x20000 picture", "YUV4MPEG2 W20000 H20000 F30:1 C420jpeg\n" + frameHeader},
        {"a 0x0 picture", "YUV4MPEG2 W0 H0 F30:1 C420jpeg\n" + frameHeader},
        {"damaged and truncated packets", damaged},
    };
    int port = 47940;
    for (const auto& stream : streams) {
        LoopbackServer server(port++, stream.bytes);
        const HostilePlay play = PlayForAWhile(server.Url(), Block());
        // Refused at the first connection, or played until stopped: never a success or a hang.
        EXPECT_NE(play.result, 0u) << stream.name;
        EXPECT_LT(play.stopToReturnMs, 1000u) << stream.name;
    }
}

TEST_F(LiveSourcesTest, APictureThatGrowsMidStreamIsFollowed) {
    if (!ReadsNetworkStreams()) GTEST_SKIP() << "this build reads no network streams";
    LoopbackServer server(47950, TestMedia("sizes.ts"));
    const std::uint32_t seq = Seq();
    const HostilePlay play = PlayForAWhile(server.Url(), Block());
    EXPECT_EQ(play.result, 1223u);
    EXPECT_EQ(play.widths.count(320), 1u);
    EXPECT_EQ(play.widths.count(640), 1u);
    EXPECT_NE(Seq(), seq);
}

TEST(LogRedactionTest, EveryUrlsUserAndPasswordAreReplaced) {
    using playback::RedactCredentials;
    EXPECT_EQ(RedactCredentials("Connection to tcp://admin:s3cr@t@10.0.0.7:554 failed: refused"),
              "Connection to tcp://***@10.0.0.7:554 failed: refused");
    EXPECT_EQ(RedactCredentials("rtsp://cam:pw@127.0.0.1/live and http://u@h/x"),
              "rtsp://***@127.0.0.1/live and http://***@h/x");
    // Nothing to hide: left as it is, an @ past the host included.
    EXPECT_EQ(RedactCredentials("http://127.0.0.1:8080/a@b.ts"), "http://127.0.0.1:8080/a@b.ts");
    EXPECT_EQ(RedactCredentials("no url here"), "no url here");
    EXPECT_EQ(RedactCredentials("udp://"), "udp://");
}

}  // namespace
}  // namespace orvanecam::testing
