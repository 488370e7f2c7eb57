#include "streaming/media_type.h"

#include <gtest/gtest.h>

#include <cstring>

#include "streaming/test_source.h"

namespace orvanecam::streaming {
namespace {

using testing::kTestMajor;
using testing::kTestSubtype;

TEST(MediaTypeTest, EmptyTypeHasFixedOneByteSamplesAndNothingElse) {
    const CMediaType empty;
    EXPECT_EQ(empty.majortype, GUID_NULL);
    EXPECT_EQ(empty.formattype, GUID_NULL);
    EXPECT_EQ(empty.bFixedSizeSamples, TRUE);
    EXPECT_EQ(empty.lSampleSize, 1u);
    EXPECT_EQ(empty.cbFormat, 0u);
    EXPECT_EQ(empty.pbFormat, nullptr);
    EXPECT_TRUE(empty.IsPartiallySpecified());
    DeleteMediaType(nullptr);
}

TEST(MediaTypeTest, CopiesOwnTheirFormatBlocks) {
    CMediaType source;
    source.SetType(kTestMajor);
    BYTE* block = source.AllocFormatBuffer(88);
    std::memset(block, 7, 88);
    EXPECT_EQ(source.AllocFormatBuffer(88), block);  // same length: same block

    CMediaType copy(source);
    ASSERT_EQ(copy.cbFormat, 88u);
    EXPECT_NE(copy.pbFormat, source.pbFormat);
    copy.pbFormat[0] = 9;
    EXPECT_EQ(source.pbFormat[0], 7);

    AM_MEDIA_TYPE* created = CreateMediaType(&source);
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(std::memcmp(created->pbFormat, source.pbFormat, 88), 0);
    DeleteMediaType(created);

    copy = copy;  // assigning itself changes nothing
    EXPECT_EQ(copy.pbFormat[0], 9);
}

TEST(MediaTypeTest, PartialTypesMatchOnWhatTheySpecify) {
    const CMediaType full = testing::TestMediaType();
    CMediaType majorOnly;
    majorOnly.SetType(kTestMajor);
    EXPECT_TRUE(full.MatchesPartial(majorOnly));
    majorOnly.SetSubtype(testing::kOtherSubtype);
    EXPECT_FALSE(full.MatchesPartial(majorOnly));

    CMediaType withFormat = testing::TestMediaType();
    EXPECT_TRUE(full.MatchesPartial(withFormat));
    withFormat.AllocFormatBuffer(8);
    EXPECT_FALSE(full.MatchesPartial(withFormat));  // format length differs
    EXPECT_FALSE(full.IsPartiallySpecified());
    EXPECT_EQ(full.subtype, kTestSubtype);
}

TEST(MediaTypeTest, SampleSizeZeroMeansVariableSizeAndKeepsTheOldSize) {
    CMediaType type;
    type.SetSampleSize(4096);
    type.SetSampleSize(0);
    EXPECT_EQ(type.bFixedSizeSamples, FALSE);
    EXPECT_EQ(type.lSampleSize, 4096u);
    type.SetSampleSize(8);
    EXPECT_EQ(type.bFixedSizeSamples, TRUE);
    EXPECT_EQ(type.lSampleSize, 8u);
}

}  // namespace
}  // namespace orvanecam::streaming
