// Registration through the module's exports, read back from the registry (off Windows, from a
// store of the test's own).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/shared_library.h"
#include "platform/utf16.h"
#include "support/isolated_names.h"
#include "support/module_under_test.h"
#include "support/registration_fixture.h"

namespace orvanecam::testing {
namespace {

TEST_F(RegistrationTest, RegisteringWritesEveryValueOfTheClassAndDeviceKeys) {
    ASSERT_EQ(m_register(), S_OK);

    EXPECT_EQ(Value(kClassKey, ""), u"OrvaneCam");
    EXPECT_EQ(Value(kClassKey + "\\InprocServer32", "ThreadingModel"), u"Both");
    EXPECT_EQ(Value(kInstanceKey, ""), u"OrvaneCam");
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
    EXPECT_EQ(Value(kInstanceKey, "CLSID"), u"{5B2E9C47-81D3-4F6A-9C1E-3A7D0B64E2F9}");

    // The server path is a full path that loads this very module.
    const std::string server = platform::Utf16ToUtf8(Value(kClassKey + "\\InprocServer32", ""));
    EXPECT_TRUE(std::filesystem::path(server).filename() ==
                std::filesystem::path(ORVANECAM_MODULE_FILE).filename())
        << server;
    EXPECT_TRUE(platform::SharedLibrary::Load(server).has_value()) << server;

    // The camera's microphone, in the audio input category.
    const std::string microphoneClass = "CLSID\\" + kMicrophoneClasses[0];
    EXPECT_EQ(Value(microphoneClass, ""), u"OrvaneCam Microphone");
    EXPECT_EQ(Value(microphoneClass + "\\InprocServer32", ""),
              Value(kClassKey + "\\InprocServer32", ""));
    EXPECT_EQ(Value(MicrophoneInstanceKeyOf(1), "FriendlyName"), u"OrvaneCam Microphone");
    EXPECT_EQ(Value(MicrophoneInstanceKeyOf(1), "CLSID"),
              platform::Utf8ToUtf16(kMicrophoneClasses[0]));

    // Registering again rewrites the same values.
    EXPECT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
}

TEST_F(RegistrationTest, UnregisteringRemovesBothKeysAndToleratesTheirAbsence) {
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(kInstanceKey));
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
}

LPCWSTR Wide(const char16_t* text) {
    return reinterpret_cast<LPCWSTR>(text);
}

TEST_F(RegistrationTest, InstallRegistersWithAFlagAndUnregistersWithout) {
    ASSERT_EQ(m_install(TRUE, nullptr), S_OK);
    EXPECT_TRUE(KeyExists(kInstanceKey));
    EXPECT_FALSE(KeyExists(InstanceKeyOf(2)));
    EXPECT_EQ(m_install(FALSE, nullptr), S_OK);
    EXPECT_FALSE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(kInstanceKey));
}

TEST_F(RegistrationTest, ACameraCountRegistersThatManyAndAnotherCountMatchesIt) {
    ASSERT_EQ(m_install(TRUE, Wide(u"cameras=3")), S_OK);
    const std::u16string names[] = {u"OrvaneCam", u"OrvaneCam 2", u"OrvaneCam 3"};
    for (int camera = 1; camera <= 3; ++camera) {
        EXPECT_EQ(Value(InstanceKeyOf(camera), "FriendlyName"), names[camera - 1]);
        EXPECT_EQ(Value(InstanceKeyOf(camera), "CLSID"),
                  platform::Utf8ToUtf16(kCameraClasses[camera - 1]));
        EXPECT_EQ(Value(ClassKeyOf(camera) + "\\InprocServer32", "ThreadingModel"), u"Both");
        EXPECT_EQ(Value(MicrophoneInstanceKeyOf(camera), "FriendlyName"),
                  names[camera - 1] + u" Microphone");
    }
    // A plain registration keeps the cameras the user chose.
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_TRUE(KeyExists(InstanceKeyOf(3)));

    ASSERT_EQ(m_install(TRUE, Wide(u" Cameras=2 ")), S_OK);
    EXPECT_TRUE(KeyExists(InstanceKeyOf(2)));
    EXPECT_FALSE(KeyExists(InstanceKeyOf(3)));
    EXPECT_FALSE(KeyExists(ClassKeyOf(3)));
    EXPECT_FALSE(KeyExists(MicrophoneInstanceKeyOf(3)));

    EXPECT_EQ(m_unregister(), S_OK);
    for (int camera = 1; camera <= 3; ++camera) {
        EXPECT_FALSE(KeyExists(InstanceKeyOf(camera))) << camera;
        EXPECT_FALSE(KeyExists(MicrophoneInstanceKeyOf(camera))) << camera;
        EXPECT_FALSE(KeyExists("CLSID\\" + kMicrophoneClasses[camera - 1])) << camera;
        EXPECT_FALSE(KeyExists(ClassKeyOf(camera))) << camera;
    }
}

TEST_F(RegistrationTest, ABadCommandLineIsRefusedAndChangesNothing) {
    ASSERT_EQ(m_install(TRUE, Wide(u"cameras=2")), S_OK);
    for (const char16_t* bad : {u"cameras=0", u"cameras=17", u"cameras=abc", u"cameras=",
                                u"cameras=-1", u"camera=3", u"cameras=3 extra"}) {
        EXPECT_EQ(m_install(TRUE, Wide(bad)), E_INVALIDARG) << platform::Utf16ToUtf8(bad);
        EXPECT_EQ(m_install(FALSE, Wide(bad)), E_INVALIDARG) << platform::Utf16ToUtf8(bad);
    }
    EXPECT_TRUE(KeyExists(InstanceKeyOf(2)));
    EXPECT_FALSE(KeyExists(InstanceKeyOf(3)));
}

// A registration without administrator rights: the user's own classes get every key, the
// machine's none, and unregistering for the user takes them all away again.
TEST_F(RegistrationTest, AUserRegistrationWritesOnlyTheUsersClasses) {
    const auto exists = [](platform::RegistryRoot hive, const std::string& path) {
        std::uint32_t error = 0;
        return platform::RegistryKey::Open(hive, path, platform::kOwnRegistryView,
                                           platform::RegistryAccess::kQueryValue, error)
            .has_value();
    };
    constexpr auto kUser = platform::RegistryRoot::kUserClasses;
    constexpr auto kMachine = platform::RegistryRoot::kMachineClasses;
    ASSERT_EQ(m_install(TRUE, Wide(u"User cameras=2")), S_OK);
    for (const std::string& key : {ClassKeyOf(1) + "\\InprocServer32", InstanceKeyOf(1),
                                   InstanceKeyOf(2), MicrophoneInstanceKeyOf(2)}) {
        EXPECT_TRUE(exists(kUser, key)) << key;
        EXPECT_FALSE(exists(kMachine, key)) << key;
    }
    EXPECT_FALSE(exists(kUser, InstanceKeyOf(3)));
    EXPECT_EQ(m_install(FALSE, Wide(u"user")), S_OK);
    EXPECT_FALSE(exists(kUser, ClassKeyOf(1)));
    EXPECT_FALSE(exists(kUser, InstanceKeyOf(2)));
    // A machine registration afterwards is the machine's again.
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_TRUE(exists(kMachine, InstanceKeyOf(1)));
    EXPECT_FALSE(exists(kUser, InstanceKeyOf(1)));
}

// A half-removed install: camera 2's class is gone while its device key stays. Producers cannot
// address it; cameras 1 and 3 go on working, and registering again mends it.
TEST_F(RegistrationTest, ACameraWhoseClassIsGoneIsNotServed) {
    using CameraExport = std::uint32_t (*)(std::int32_t);
    const auto init = ModuleExport<CameraExport>("InitVcamForCamera");
    ASSERT_NE(init, nullptr);
    UseFreshObjectNames();
    EXPECT_EQ(init(3), 87u);  // not registered yet
    ASSERT_EQ(m_install(TRUE, Wide(u"cameras=3")), S_OK);
    std::uint32_t error = 0;
    auto classes = platform::RegistryKey::Open(platform::RegistryRoot::kClassesRoot, "CLSID",
                                               platform::kOwnRegistryView,
                                               platform::RegistryAccess::kFull, error);
    ASSERT_TRUE(classes.has_value());
    ASSERT_EQ(classes->DeleteTree(kCameraClasses[1]), 0u);
    ASSERT_TRUE(KeyExists(InstanceKeyOf(2)));

    EXPECT_EQ(init(2), 87u);
    EXPECT_EQ(init(3), 0u);
    EXPECT_EQ(init(1), 0u);
    EXPECT_EQ(init(0), 87u);
    EXPECT_EQ(init(17), 87u);

    ASSERT_EQ(m_register(), S_OK);
    EXPECT_TRUE(KeyExists(ClassKeyOf(2)));
    EXPECT_EQ(init(2), 0u);
}

#ifdef _WIN32
// The other bitness's registry view, where the other DLL keeps its registration.
constexpr platform::RegistryView kOtherView =
    platform::kOwnRegistryView == platform::RegistryView::k64Bit ? platform::RegistryView::k32Bit
                                                                 : platform::RegistryView::k64Bit;

bool WriteInOtherView(const std::string& path, const std::string& name) {
    std::uint32_t error = 0;
    auto key = platform::RegistryKey::Create(platform::RegistryRoot::kClassesRoot, path, kOtherView,
                                             platform::RegistryAccess::kSetValue, error);
    return key && key->SetString(name, u"Other") == 0;
}

void RemoveInOtherView(const std::string& path) {
    const auto slash = path.rfind('\\');
    std::uint32_t error = 0;
    if (auto parent =
            platform::RegistryKey::Open(platform::RegistryRoot::kClassesRoot, path.substr(0, slash),
                                        kOtherView, platform::RegistryAccess::kFull, error)) {
        parent->DeleteTree(path.substr(slash + 1));
    }
}

// The 32-bit and the 64-bit DLL are registered under one class id, each in its own view: what
// one does must leave the other's keys as they are.
TEST_F(RegistrationTest, TheOtherBitnessRegistrationIsLeftAlone) {
    const platform::RegistryView other = kOtherView;
    const auto write = WriteInOtherView;
    const auto remove = RemoveInOtherView;
    ASSERT_TRUE(write(kClassKey, ""));
    ASSERT_TRUE(write(kInstanceKey, "FriendlyName"));

    EXPECT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName"), u"OrvaneCam");
    EXPECT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kInstanceKey));
    EXPECT_EQ(Value(kClassKey, "", other), u"Other");
    EXPECT_EQ(Value(kInstanceKey, "FriendlyName", other), u"Other");

    remove(kInstanceKey);
    remove(kClassKey);
}

// A plain registration of one bitness's DLL takes the number of cameras the other has, so both
// kinds of app list the same cameras.
TEST_F(RegistrationTest, APlainRegistrationMatchesTheOtherBitnesssCameras) {
    ASSERT_TRUE(WriteInOtherView(InstanceKeyOf(3), "FriendlyName"));
    ASSERT_TRUE(WriteInOtherView(ClassKeyOf(3) + "\\InprocServer32", ""));
    EXPECT_EQ(m_register(), S_OK);
    EXPECT_TRUE(KeyExists(InstanceKeyOf(3)));
    EXPECT_TRUE(KeyExists(InstanceKeyOf(2)));
    RemoveInOtherView(InstanceKeyOf(3));
    RemoveInOtherView(ClassKeyOf(3));
}
#endif

}  // namespace
}  // namespace orvanecam::testing
