// The PipeWire bridge's driving of the live sampler, against a stand-in node: a slot the node has
// no buffer for is missed and the next comes at its own time; a buffer gets a whole frame.
#include <gtest/gtest.h>

#include <vector>

#include "pipewire/bridge.h"
#include "platform/clock.h"
#include "support/isolated_names.h"

namespace orvanecam::testing {
namespace {

// A node whose graph fills a buffer on each push while it has one to lend.
class StandInNode final : public pipewire::VideoOutput {
  public:
    explicit StandInNode(pipewire::Bridge& bridge) : m_bridge(bridge) {}
    void Push() override {
        if (lend) m_bridge.Fill(buffer);
    }
    bool Streaming() const override { return lend; }
    void Offer(const std::vector<camera::Choice>&) override {}
    void Rename(const std::string&) override {}

    bool lend = false;
    std::vector<std::uint8_t> buffer;

  private:
    pipewire::Bridge& m_bridge;
};

TEST(PipeWireBridgeTest, ASlotWithoutAFreeBufferIsMissedAndTheNextWaitsItsTurn) {
    ASSERT_FALSE(UseFreshObjectNames().empty());
    pipewire::Bridge bridge(camera::kFirstCamera, false);
    StandInNode node(bridge);
    const camera::Choice choice{{64, 48, picture::SampleFormat::kYuy2}, 200000};  // 50 fps
    bridge.FormatChosen(choice);
    const std::int64_t start = platform::MonotonicTime100ns();
    for (int tick = 0; tick < 3; ++tick) EXPECT_EQ(bridge.Tick(node), 0);
    EXPECT_GE(platform::MonotonicTime100ns() - start, 300000);  // two more 20 ms slots, no spin
    EXPECT_EQ(bridge.Schedule().DroppedCount(), 3);
    EXPECT_EQ(bridge.Schedule().DeliveredCount(), 0);

    node.lend = true;
    node.buffer.assign(picture::FrameBytes(choice.media), 0);
    bridge.Tick(node);
    EXPECT_EQ(bridge.Schedule().DeliveredCount(), 1);
    EXPECT_EQ(node.buffer[0], 16);  // vacant black: Y of the first YUY2 pair
}

}  // namespace
}  // namespace orvanecam::testing
