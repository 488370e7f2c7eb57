// The picture settings and the device name through the module's exports.
#include <orvanecam/orvanecam.h>

#include <gtest/gtest.h>

#include <string>

#include "api/module_block.h"
#include "api/module_last_error.h"
#include "api/registry_fixture.h"
#include "camera/identity.h"

namespace orvanecam::testing {
namespace {

using SettingsTest = ModuleBlockTest;

TEST_F(SettingsTest, SwitchesStoreZeroOrOneAndAnnounceEveryChange) {
    struct Switch {
        void (*set)(std::int32_t);
        std::uint32_t exchange::SharedBlock::*field;
    };
    for (const Switch& change : {Switch{SetMirrorEnabled, &exchange::SharedBlock::mirror},
                                 Switch{SetFlipEnabled, &exchange::SharedBlock::flip},
                                 Switch{setVcamOn, &exchange::SharedBlock::cameraOn}}) {
        const std::uint32_t seq = Seq();
        change.set(2);
        EXPECT_EQ(ModuleLastError(), 0u);
        EXPECT_EQ(exchange::Atomic(Block().*change.field).load(), 1u);
        change.set(0);
        EXPECT_EQ(exchange::Atomic(Block().*change.field).load(), 0u);
        EXPECT_EQ(Seq(), seq + 2);
        EXPECT_EQ(exchange::Atomic(Block().framePending).load(), 1u);
        change.set(-7);
        EXPECT_EQ(exchange::Atomic(Block().*change.field).load(), 1u);
    }
    SetMirrorEnabled(0);
    SetFlipEnabled(0);
}

TEST_F(SettingsTest, RotationTurnsFurtherEachCallAndRefusesOtherSteps) {
    const std::uint32_t start = exchange::Atomic(Block().rotation).load();
    const std::uint32_t seq = Seq();
    for (int i = 0; i < 4; ++i) SetRotateRightDegree(0);
    EXPECT_EQ(exchange::Atomic(Block().rotation).load(), start);
    EXPECT_EQ(Seq(), seq + 4);
    SetRotateRightDegree(2);
    EXPECT_EQ(exchange::Atomic(Block().rotation).load(), (start + 3) % 4);
    SetRotateRightDegree(0);
    SetRotateRightDegree(1);
    SetRotateRightDegree(1);
    EXPECT_EQ(exchange::Atomic(Block().rotation).load(), start);
    EXPECT_EQ(ModuleLastError(), 0u);

    for (const std::int32_t step : {90, 3, -1}) {
        const std::uint32_t before = Seq();
        SetRotateRightDegree(step);
        EXPECT_EQ(ModuleLastError(), 87u) << step;
        EXPECT_EQ(Seq(), before);
        EXPECT_EQ(exchange::Atomic(Block().rotation).load(), start);
    }
}

using DeviceNameTest = RegistryTest;

TEST_F(DeviceNameTest, NamesAreCleanedTrimmedAndCutBeforeTheyAreStored) {
    EXPECT_EQ(SetFriendlyName(Text(u"  Studio: Cam?  ")), 0u);
    EXPECT_EQ(ModuleLastError(), 0u);
    EXPECT_EQ(UserValue("FriendlyName"), u"Studio Cam");

    const std::u16string hundred(100, u'x');
    EXPECT_EQ(SetFriendlyName(Text(hundred)), 0u);
    EXPECT_EQ(UserValue("FriendlyName"), hundred.substr(0, 64));

    // The cut comes after the trimming: a space that ends up last stays.
    const std::u16string seventy = std::u16string(63, u'a') + u' ' + std::u16string(6, u'b');
    EXPECT_EQ(SetFriendlyName(Text(seventy)), 0u);
    EXPECT_EQ(UserValue("FriendlyName"), seventy.substr(0, 64));

    for (const char16_t* nothing : {u" :?* \t", u"", static_cast<const char16_t*>(nullptr)}) {
        EXPECT_EQ(SetFriendlyName(nothing == nullptr ? nullptr : Text(nothing)), 87u);
        EXPECT_EQ(ModuleLastError(), 87u);
    }
    EXPECT_EQ(UserValue("FriendlyName"), seventy.substr(0, 64));
}

TEST_F(DeviceNameTest, ARegisteredCameraIsRenamedInItsClassAndDeviceKeys) {
    // Not registered: only the user's value, and that is success.
    EXPECT_EQ(SetFriendlyName(Text(u"Desk Camera")), 0u);
    EXPECT_FALSE(KeyExists(kInstanceKey));

    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(SetFriendlyName(Text(u"Desk Camera")), 0u);
    EXPECT_EQ(Value(kClassKey, ""), u"Desk Camera");
    EXPECT_EQ(Value(kInstanceKey, ""), u"Desk Camera");
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"Desk Camera");
}

// Each camera's name is kept under its own settings key: camera 3 is listed by its default name
// until renamed, and a name given to one camera is never another's.
TEST_F(DeviceNameTest, EachCameraKeepsItsNameUnderItsOwnKey) {
    EXPECT_EQ(SetFriendlyName(Text(u"Desk Camera")), 0u);
    const camera::CameraIdentity& third = *camera::CameraNumbered(3);
    EXPECT_EQ(camera::DeviceName(third), u"OrvaneCam 3");
    ASSERT_EQ(
        settings::StoreUserSetting(settings::kFriendlyNameValue, u"Slides", third.settingsKey), 0u);
    EXPECT_EQ(camera::DeviceName(third), u"Slides");
    EXPECT_EQ(camera::DeviceName(camera::kFirstCamera), u"Desk Camera");
}

TEST_F(DeviceNameTest, TheListedNameIsReadBackWithItsTerminator) {
    ASSERT_EQ(SetFriendlyName(Text(u"  Desk*Camera ")), 0u);
    OrvaneCamChar16 name[65];
    ASSERT_EQ(GetFriendlyName(name, 65), 0u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(name)), u"DeskCamera");
    EXPECT_EQ(GetFriendlyName(name, 10), 122u);  // the terminator does not fit
    EXPECT_EQ(GetFriendlyName(nullptr, 65), 87u);
    EXPECT_EQ(GetFriendlyNameForCamera(17, name, 65), 87u);
    EXPECT_EQ(GetFriendlyNameForCamera(1, name, 11), 0u);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(name)), u"DeskCamera");
}

}  // namespace
}  // namespace orvanecam::testing
