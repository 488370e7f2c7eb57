// The pin and media type enumerators.
#include "streaming/graph_fixture.h"
#include "streaming/media_type.h"

namespace orvanecam::testing {
namespace {

using EnumeratorTest = GraphTest;

TEST_F(EnumeratorTest, PinEnumeratorHandsOutTheOnePinOnceUntilReset) {
    IEnumPins* pins = nullptr;
    ASSERT_EQ(m_filter->EnumPins(&pins), S_OK);
    IPin* got[2] = {nullptr, nullptr};
    EXPECT_EQ(pins->Next(2, got, nullptr), E_INVALIDARG);
    ULONG fetched = 5;
    ASSERT_EQ(pins->Next(2, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(got[0], m_pin);
    got[0]->Release();
    EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    ASSERT_EQ(pins->Reset(), S_OK);
    EXPECT_EQ(pins->Skip(2), S_FALSE);  // the position stays
    IEnumPins* clone = nullptr;
    ASSERT_EQ(pins->Clone(&clone), S_OK);
    EXPECT_EQ(pins->Skip(1), S_OK);
    EXPECT_EQ(pins->Next(1, got, &fetched), S_FALSE);
    ASSERT_EQ(clone->Next(1, got, &fetched), S_OK);  // the clone goes on from where it was
    EXPECT_EQ(got[0], m_pin);
    got[0]->Release();
    clone->Release();
    pins->Release();
}

TEST_F(EnumeratorTest, MediaTypeEnumeratorGivesThePinsTypesToTheCaller) {
    IEnumMediaTypes* types = nullptr;
    ASSERT_EQ(m_pin->EnumMediaTypes(&types), S_OK);
    AM_MEDIA_TYPE* got[2] = {nullptr, nullptr};
    ULONG fetched = 0;
    EXPECT_EQ(types->Next(0, got, &fetched), S_OK);
    ASSERT_EQ(types->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_TRUE(TestMediaType().MatchesPartial(*got[0]));
    EXPECT_EQ(got[0]->cbFormat, 4u);
    streaming::DeleteMediaType(got[0]);

    ASSERT_EQ(types->Reset(), S_OK);
    IEnumMediaTypes* clone = nullptr;
    ASSERT_EQ(types->Clone(&clone), S_OK);
    EXPECT_EQ(types->Skip(1), S_OK);
    EXPECT_EQ(types->Skip(1), S_FALSE);
    EXPECT_EQ(types->Next(1, got, &fetched), S_FALSE);
    ASSERT_EQ(clone->Next(1, got, nullptr), S_OK);
    streaming::DeleteMediaType(got[0]);
    clone->Release();
    types->Release();
}

}  // namespace
}  // namespace orvanecam::testing
