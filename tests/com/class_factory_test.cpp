// The module as COM loads it: by path, through DllGetClassObject and the class factory.
#include <gtest/gtest.h>

#include "support/isolated_names.h"
#include "support/module_under_test.h"

namespace orvanecam::testing {
namespace {

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

class ClassFactoryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { UseFreshObjectNames(); }
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        m_getClassObject = ModuleExport<GetClassObject>("DllGetClassObject");
        m_canUnloadNow = ModuleExport<CanUnloadNow>("DllCanUnloadNow");
        ASSERT_NE(m_getClassObject, nullptr);
        ASSERT_NE(m_canUnloadNow, nullptr);
    }
    void TearDown() override { CoUninitialize(); }

    IClassFactory* Factory() {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(
            m_getClassObject(kCameraClassId, IID_IClassFactory, reinterpret_cast<void**>(&factory)),
            S_OK);
        return factory;
    }

    GetClassObject m_getClassObject = nullptr;
    CanUnloadNow m_canUnloadNow = nullptr;
};

TEST_F(ClassFactoryTest, HandsOutFactoriesOnlyForTheCameraClass) {
    void* object = &object;
    EXPECT_EQ(m_getClassObject(kCameraClassId, IID_IBaseFilter, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(m_getClassObject(IID_IBaseFilter, IID_IClassFactory, &object),
              CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(m_getClassObject(kCameraClassId, IID_IClassFactory, nullptr), E_POINTER);
    ASSERT_EQ(m_getClassObject(kCameraClassId, IID_IUnknown, &object), S_OK);
    auto* factory = static_cast<IClassFactory*>(object);
    EXPECT_EQ(factory->AddRef(), 2u);
    EXPECT_EQ(factory->Release(), 1u);
    EXPECT_EQ(m_canUnloadNow(), S_FALSE);  // a factory is alive
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(m_canUnloadNow(), S_OK);
}

TEST_F(ClassFactoryTest, CreatesCameraFiltersAndCountsThemForUnloading) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)),
              S_OK);
    factory->Release();
    EXPECT_EQ(m_canUnloadNow(), S_FALSE);  // the filter is alive
    IAMStreamConfig* config = nullptr;
    EXPECT_EQ(filter->QueryInterface(IID_IAMStreamConfig, reinterpret_cast<void**>(&config)), S_OK);
    config->Release();
    EXPECT_EQ(filter->Release(), 0u);
    EXPECT_EQ(m_canUnloadNow(), S_OK);

    factory = Factory();
    void* object = &object;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IMemAllocator, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(m_canUnloadNow(), S_FALSE);  // locked
    // The unsupported request left no object behind.
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(m_canUnloadNow(), S_OK);
}

// An outer object that aggregates the camera through the factory.
class Outer final : public IUnknown {
  public:
    virtual ~Outer() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_refs; }
    ULONG m_refs = 1;
};

TEST_F(ClassFactoryTest, AggregationHandsOutOnlyTheInnerUnknown) {
    IClassFactory* factory = Factory();
    Outer outer;
    void* object = &object;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IBaseFilter, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), S_OK);
    auto* inner = static_cast<IUnknown*>(object);
    EXPECT_NE(inner, static_cast<IUnknown*>(&outer));
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);
    // The filter's public faces count on the outer object.
    EXPECT_EQ(outer.m_refs, 2u);
    filter->Release();
    EXPECT_EQ(inner->Release(), 0u);
    factory->Release();
    EXPECT_EQ(m_canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace orvanecam::testing
