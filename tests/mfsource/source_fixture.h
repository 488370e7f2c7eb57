#pragma once
// The camera's media source in this test process, fed by a producer side of the same process
// through the shared block, with Media Foundation started for each test.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "exchange/publisher.h"
#include "exchange/reader.h"
#include "mfsource/source_activate.h"
#include "mfsource/source_class.h"
#include "sdk/com_ptr.h"
#include "support/isolated_names.h"

namespace orvanecam::testing {

class MediaSourceTest : public ::testing::Test {
  protected:
    // The reader is process-wide and keeps the names it first opened.
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Sets the producer's output size and rate and publishes one uniform NV12 frame.
    void PublishUniformFrame(std::int32_t width, std::int32_t height, std::uint8_t y,
                             std::uint8_t u, std::uint8_t v, std::uint32_t fps = 30);
    // A new source through the activation object, as the frame server makes it.
    sdk::ComPtr<IMFMediaSource> ActivateSource();
    // The next event of generator within 5 s, or null.
    static sdk::ComPtr<IMFMediaEvent> NextEvent(IMFMediaEventGenerator* generator);
    static MediaEventType TypeOf(IMFMediaEvent* event);

    exchange::FramePublisher m_producer;
    sdk::ComPtr<IMFActivate> m_activate;
};

}  // namespace orvanecam::testing
