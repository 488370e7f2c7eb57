// The Windows 11 frame server's way in: the media source's class is registered beside the
// filter's, and the module's class factory makes an activation object that activates a live
// source. (Windows builds only: the class exists there alone.)
#include <gtest/gtest.h>

#include "mfsource/source_class_id.h"
#include "sdk/com_ptr.h"
#include "sdk/media_foundation.h"
#include "support/module_under_test.h"
#include "support/registration_fixture.h"

namespace orvanecam::testing {
namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

const std::string kSourceClassKey = "CLSID\\{7D3B5C21-9E84-4F0A-B6C3-58E1D20A4F96}";

TEST_F(RegistrationTest, TheMediaSourceClassIsRegisteredAndRemovedWithTheFilter) {
    ASSERT_EQ(m_register(), S_OK);
    EXPECT_EQ(Value(kSourceClassKey, ""), u"OrvaneCam Media Source");
    EXPECT_EQ(Value(kSourceClassKey + "\\InprocServer32", ""),
              Value(kClassKey + "\\InprocServer32", ""));
    EXPECT_EQ(Value(kSourceClassKey + "\\InprocServer32", "ThreadingModel"), u"Both");
    ASSERT_EQ(m_unregister(), S_OK);
    EXPECT_FALSE(KeyExists(kSourceClassKey));
}

TEST_F(RegistrationTest, EachCameraRegistersAMediaSourceClassOfItsOwn) {
    const std::string thirdSourceKey = "CLSID\\{989B7FB9-B497-4B57-8142-BA9ABC93B75A}";
    ASSERT_EQ(m_install(TRUE, L"cameras=3"), S_OK);
    EXPECT_EQ(Value(thirdSourceKey, ""), u"OrvaneCam 3 Media Source");
    EXPECT_EQ(Value(thirdSourceKey + "\\InprocServer32", ""),
              Value(kClassKey + "\\InprocServer32", ""));
    ASSERT_EQ(m_install(TRUE, L"cameras=2"), S_OK);
    EXPECT_FALSE(KeyExists(thirdSourceKey));
    EXPECT_TRUE(KeyExists(kSourceClassKey));
}

TEST(MediaSourceClassTest, TheFactoryMakesAnActivationObjectForALiveSource) {
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ASSERT_EQ(MFStartup(MF_VERSION, MFSTARTUP_NOSOCKET), S_OK);
    const auto getClassObject = ModuleExport<GetClassObject>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);
    sdk::ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(mfsource::kMediaSourceClassId, IID_IClassFactory, factory.PutVoid()),
              S_OK);
    sdk::ComPtr<IMFActivate> activate;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IMFActivate, activate.PutVoid()), S_OK);
    // The frame server sets attributes on it before activating.
    EXPECT_EQ(activate->SetString(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME, L"OrvaneCam"), S_OK);
    UINT32 length = 0;
    EXPECT_EQ(activate->GetStringLength(MF_DEVSOURCE_ATTRIBUTE_FRIENDLY_NAME, &length), S_OK);
    EXPECT_EQ(length, 9u);
    sdk::ComPtr<IMFMediaSource> source;
    ASSERT_EQ(activate->ActivateObject(IID_IMFMediaSource, source.PutVoid()), S_OK);
    DWORD characteristics = 0;
    EXPECT_EQ(source->GetCharacteristics(&characteristics), S_OK);
    EXPECT_EQ(characteristics, static_cast<DWORD>(MFMEDIASOURCE_IS_LIVE));
    EXPECT_EQ(source->Shutdown(), S_OK);
    EXPECT_EQ(source->GetCharacteristics(&characteristics), MF_E_SHUTDOWN);
    source.Reset();
    activate.Reset();
    factory.Reset();
    MFShutdown();
    CoUninitialize();
}

}  // namespace
}  // namespace orvanecam::testing
