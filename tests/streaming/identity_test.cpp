// COM identity: the non-delegating model, aggregation, and lifetime through the pin.
#include <gtest/gtest.h>

#include "graph_host/graph_host.h"
#include "streaming/test_source.h"

namespace orvanecam::testing {

// The stand-in client graph the tests drive the filter with.
using namespace graph_host;
namespace {

// An outer object aggregating a test source: it hands out the inner filter's IBaseFilter.
class Outer final : public IUnknown, public RefCounted {
  public:
    Outer() { m_inner = TestSource::Create(this); }
    ~Outer() override { m_inner->NonDelegatingRelease(); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return m_inner->NonDelegatingQueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    TestSource* m_inner;
};

TEST(IdentityTest, AggregatedFilterForwardsItsPublicFacesToTheOuterObject) {
    const long before = streaming::CBaseObject::ObjectsActive();
    auto* outer = new Outer();
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(outer->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&filter)), S_OK);
    IUnknown* identity = nullptr;
    ASSERT_EQ(filter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(outer));
    identity->Release();

    // The inner object's own unknown is not the outer one.
    IUnknown* inner = nullptr;
    ASSERT_EQ(
        outer->m_inner->NonDelegatingQueryInterface(IID_IUnknown, reinterpret_cast<void**>(&inner)),
        S_OK);
    EXPECT_EQ(inner, outer->m_inner->NonDelegatingUnknown());
    EXPECT_NE(inner, static_cast<IUnknown*>(outer));
    inner->Release();

    filter->Release();  // a reference on the outer object
    EXPECT_EQ(outer->Release(), 0u);
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before);
}

TEST(IdentityTest, AReferenceOnThePinKeepsTheFilterAlive) {
    const long before = streaming::CBaseObject::ObjectsActive();
    TestSource* source = TestSource::Create();
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before + 2);  // filter and pin
    IPin* pin = nullptr;
    ASSERT_EQ(static_cast<IBaseFilter*>(source)->FindPin(OLESTR("1"), &pin), S_OK);
    static_cast<IBaseFilter*>(source)->Release();

    PIN_DIRECTION direction = PINDIR_INPUT;
    EXPECT_EQ(pin->QueryDirection(&direction), S_OK);
    EXPECT_EQ(direction, PINDIR_OUTPUT);
    IPin* samePin = nullptr;
    ASSERT_EQ(pin->QueryInterface(IID_IPin, reinterpret_cast<void**>(&samePin)), S_OK);
    EXPECT_EQ(samePin, pin);
    samePin->Release();

    EXPECT_EQ(pin->Release(), 0u);
    EXPECT_EQ(streaming::CBaseObject::ObjectsActive(), before);
}

}  // namespace
}  // namespace orvanecam::testing
