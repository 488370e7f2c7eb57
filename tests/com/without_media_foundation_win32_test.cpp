// The module where Media Foundation is absent (Windows N editions, Server Core; under Wine,
// WINEDLLOVERRIDES=mfplat=d): it loads, the DirectShow camera is made and offers its formats,
// and only activating the Media Foundation source fails, with a plain "module not found". This
// program itself links nothing of Media Foundation.
#include <gtest/gtest.h>

#include "mfsource/source_class_id.h"
#include "sdk/com_ptr.h"
#include "support/module_under_test.h"

namespace orvanecam::testing {
namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

TEST(WithoutMediaFoundationTest, TheModuleLoadsAndOnlyTheMediaSourceIsMissing) {
    ASSERT_FALSE(platform::SharedLibrary::Load("mfplat.dll").has_value())
        << "run with Media Foundation disabled";
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    const auto getClassObject = ModuleExport<GetClassObject>("DllGetClassObject");
    ASSERT_NE(getClassObject, nullptr);

    sdk::ComPtr<IClassFactory> cameras;
    ASSERT_EQ(getClassObject(kCameraClassId, IID_IClassFactory, cameras.PutVoid()), S_OK);
    sdk::ComPtr<IBaseFilter> camera;
    ASSERT_EQ(cameras->CreateInstance(nullptr, IID_IBaseFilter, camera.PutVoid()), S_OK);
    sdk::ComPtr<IEnumPins> pins;
    ASSERT_EQ(camera->EnumPins(pins.Put()), S_OK);
    sdk::ComPtr<IPin> pin;
    ASSERT_EQ(pins->Next(1, pin.Put(), nullptr), S_OK);
    sdk::ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(pin->EnumMediaTypes(types.Put()), S_OK);
    AM_MEDIA_TYPE* type = nullptr;
    ASSERT_EQ(types->Next(1, &type, nullptr), S_OK);
    EXPECT_EQ(type->majortype, MEDIATYPE_Video);
    CoTaskMemFree(type->pbFormat);
    CoTaskMemFree(type);

    sdk::ComPtr<IClassFactory> sources;
    ASSERT_EQ(getClassObject(mfsource::kMediaSourceClassId, IID_IClassFactory, sources.PutVoid()),
              S_OK);
    sdk::ComPtr<IUnknown> activate;
    EXPECT_EQ(sources->CreateInstance(nullptr, IID_IUnknown, activate.PutVoid()),
              HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
    types.Reset();
    pin.Reset();
    pins.Reset();
    camera.Reset();
    cameras.Reset();
    sources.Reset();
    CoUninitialize();
}

}  // namespace
}  // namespace orvanecam::testing
