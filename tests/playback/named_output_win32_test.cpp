// A play's speakers named as Windows lists its playback devices: the full name, and a longer name
// whose first 31 characters (all the system keeps) are a device's.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>
#include <windows.h>

#include <mmsystem.h>

#include <string>

#include "api/module_block.h"
#include "platform/environment.h"
#include "platform/utf16.h"

namespace orvanecam::testing {
namespace {

const OrvaneCamChar16* Text(const std::u16string& text) {
    return reinterpret_cast<const OrvaneCamChar16*>(text.c_str());
}

TEST(NamedOutputTest, AListedPlaybackDeviceIsTheSpeakersOfTheNextPlay) {
    WAVEOUTCAPSW caps{};
    if (waveOutGetNumDevs() == 0 || waveOutGetDevCapsW(0, &caps, sizeof(caps)) != 0) {
        GTEST_SKIP() << "this system lists no playback device";
    }
    ASSERT_TRUE(OpenModuleBlock());
    const std::u16string listed = reinterpret_cast<const char16_t*>(caps.szPname);
    ASSERT_EQ(SetAudioOutput(Text(listed)), 0u);
    const std::u16string clip =
        platform::Utf8ToUtf16(platform::ExecutableDirectory() + "/test-media/clip.mp4");
    EXPECT_EQ(getMultiMediaToCamera(Text(clip)), 0u);
    if (listed.size() == MAXPNAMELEN - 1) {
        EXPECT_EQ(SetAudioOutput(Text(listed + u" and the rest of its name")), 0u);
    }
    EXPECT_EQ(SetAudioOutput(Text(listed + u"?")), listed.size() == MAXPNAMELEN - 1 ? 0u : 1168u);
    ASSERT_EQ(SetAudioOutput(nullptr), 0u);
}

}  // namespace
}  // namespace orvanecam::testing
