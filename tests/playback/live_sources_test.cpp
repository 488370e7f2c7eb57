// getMultiMediaToCamera given a URL: what it refuses at once, what it reports when nothing
// answers, and how fast a stop ends it while it waits (loopback only).
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>

#include "api/module_block.h"
#include "platform/clock.h"
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
    const std::uint64_t took = platform::TickCountMs() - start;
    std::printf("two refused connections in %llu ms\n", static_cast<unsigned long long>(took));
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
