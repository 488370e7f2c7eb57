// The cameras' identities: camera 1 by the names every earlier producer and client knows, cameras
// 2..16 by names of their own, and nothing for any other number.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "camera/identity.h"

namespace orvanecam::testing {
namespace {

std::string ClassIdText(const camera::ClassId& id) {
    char text[40];
    std::snprintf(text, sizeof(text), "%08x-%04x-%04x-%02x%02x", id.data1, id.data2, id.data3,
                  id.data4[0], id.data4[7]);
    return text;
}

TEST(CameraIdentityTest, CameraOneKeepsItsNamesAndTheOthersDeriveTheirOwn) {
    EXPECT_EQ(camera::CameraNumbered(1), &camera::kFirstCamera);
    EXPECT_EQ(camera::kFirstCamera.blockName, "OrvaneCam2_FromToSharedMemory");
    EXPECT_EQ(camera::kFirstCamera.defaultName, u"OrvaneCam");

    const camera::CameraIdentity* third = camera::CameraNumbered(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(third->number, 3);
    EXPECT_EQ(third->blockName, "OrvaneCam2_FromToSharedMemory_Cam3");
    EXPECT_EQ(third->eventName, "OrvaneCam2_NewFrame_Event_v1_Cam3");
    EXPECT_EQ(third->settingsKey, "Software\\Orvane\\OrvaneCamSDK\\Camera3");
    EXPECT_EQ(third->defaultName, u"OrvaneCam 3");
    EXPECT_EQ(camera::MicrophoneName(*third), u"OrvaneCam 3 Microphone");
    EXPECT_EQ(camera::CameraNumbered(3), third);  // one identity for the process's life
    EXPECT_EQ(third->Objects().block, third->blockName);

    std::set<std::string> names;
    std::set<std::string> classIds;
    for (int number = 1; number <= camera::kMaxCameras; ++number) {
        const camera::CameraIdentity* identity = camera::CameraNumbered(number);
        ASSERT_NE(identity, nullptr) << number;
        names.insert(std::string(identity->blockName));
        names.insert(std::string(identity->eventName));
        names.insert(std::string(identity->settingsKey));
        classIds.insert(ClassIdText(identity->filterClass));
        classIds.insert(ClassIdText(identity->mediaSourceClass));
        classIds.insert(ClassIdText(identity->microphoneClass));
    }
    EXPECT_EQ(names.size(), 3u * camera::kMaxCameras);
    EXPECT_EQ(classIds.size(), 3u * camera::kMaxCameras);
    for (const int number : {0, -1, 17, 1 << 30})
        EXPECT_EQ(camera::CameraNumbered(number), nullptr);
}

}  // namespace
}  // namespace orvanecam::testing
