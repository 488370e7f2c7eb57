// With no sound server to reach, a file with sound is not played at all, unless its sound goes to
// the camera's microphone alone; with one, a file's sound plays on the output named for it.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include "api/module_block.h"
#include "platform/environment.h"
#include "platform/utf16.h"

namespace orvanecam::testing {
namespace {

TEST(NoAudioDeviceTest, AFileWithSoundNeedsTheDeviceOnlyWhenItsSoundGoesToTheSpeakers) {
    ASSERT_TRUE(OpenModuleBlock());
    const auto previous = platform::GetEnvironmentValue("PULSE_SERVER");
    platform::SetEnvironmentValue("PULSE_SERVER", "unix:/nonexistent/orvanecam-no-server");
    const std::uint32_t seq = ModuleReader().CurrentSeq();
    const std::u16string clip =
        platform::Utf8ToUtf16(platform::ExecutableDirectory() + "/test-media/clip.mp4");
    EXPECT_EQ(getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(clip.c_str())), 110u);
    EXPECT_EQ(ModuleReader().CurrentSeq(), seq);
    ASSERT_EQ(SetAudioRoute(ORVANECAM_SOUND_MICROPHONE), 0u);
    EXPECT_EQ(getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(clip.c_str())), 0u);
    EXPECT_NE(ModuleReader().CurrentSeq(), seq);
    ASSERT_EQ(SetAudioRoute(ORVANECAM_SOUND_SPEAKERS), 0u);
    platform::SetEnvironmentValue("PULSE_SERVER", previous);
}

// The test's sound server has one sink, "null".
TEST(NoAudioDeviceTest, AFilesSoundPlaysOnTheOutputNamedForIt) {
    ASSERT_TRUE(OpenModuleBlock());
    const std::u16string clip =
        platform::Utf8ToUtf16(platform::ExecutableDirectory() + "/test-media/clip.mp4");
    ASSERT_EQ(SetAudioOutput(reinterpret_cast<const OrvaneCamChar16*>(u"null")), 0u);
    EXPECT_EQ(getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(clip.c_str())), 0u);
    // A misspelt name leaves the choice as it was.
    EXPECT_EQ(SetAudioOutput(reinterpret_cast<const OrvaneCamChar16*>(u"nul")), 1168u);
    EXPECT_EQ(getMultiMediaToCamera(reinterpret_cast<const OrvaneCamChar16*>(clip.c_str())), 0u);
    ASSERT_EQ(SetAudioOutput(nullptr), 0u);
}

}  // namespace
}  // namespace orvanecam::testing
