// Connecting the output pin to a downstream pin, and the filter's and pin's identity queries.
#include <cstring>
#include <string>

#include "streaming/graph_fixture.h"
#include "streaming/wide_text.h"

namespace orvanecam::testing {
namespace {

using ConnectionTest = GraphTest;

TEST_F(ConnectionTest, ConnectsOnlyWhileStoppedAndOnlyOnce) {
    ASSERT_EQ(m_filter->Pause(), S_OK);
    EXPECT_EQ(Connect(), VFW_E_NOT_STOPPED);
    ASSERT_EQ(m_filter->Stop(), S_OK);
    ASSERT_EQ(m_pin->Connect(m_sink, nullptr), S_OK);
    EXPECT_EQ(m_pin->Connect(m_sink, nullptr), VFW_E_ALREADY_CONNECTED);
    EXPECT_EQ(m_sink->ConnectionType().subtype, kTestSubtype);
    IPin* peer = nullptr;
    ASSERT_EQ(m_pin->ConnectedTo(&peer), S_OK);
    EXPECT_EQ(peer, static_cast<IPin*>(m_sink));
    peer->Release();
}

TEST_F(ConnectionTest, DownstreamTypesAreTriedBeforeThePinsOwn) {
    m_stream->acceptOtherSubtype = true;
    SinkOptions options;
    options.offeredSubtypes = {kOtherSubtype};
    ASSERT_EQ(Connect(options), S_OK);
    EXPECT_EQ(m_sink->ConnectionType().subtype, kOtherSubtype);
}

TEST_F(ConnectionTest, APinThatCannotEnumerateIsOfferedThePinsOwnTypes) {
    SinkOptions options;
    options.enumeratesTypes = false;
    ASSERT_EQ(Connect(options), S_OK);
    EXPECT_EQ(m_sink->Connector(), m_pin);
    EXPECT_EQ(m_sink->ConnectionType().subtype, kTestSubtype);
}

TEST_F(ConnectionTest, RefusedTypesReportNoAcceptableTypesOrTheFirstSpecificFailure) {
    SinkOptions options;
    options.offeredSubtypes = {kOtherSubtype};
    streaming::CMediaType partial;
    partial.SetSubtype(kOtherSubtype);  // the pin's own type does not match it
    EXPECT_EQ(Connect(options, &partial), VFW_E_NO_ACCEPTABLE_TYPES);
    m_stream->checkResultForOthers = E_ACCESSDENIED;
    EXPECT_EQ(m_pin->Connect(m_sink, &partial), E_ACCESSDENIED);
    EXPECT_EQ(m_sink->Connector(), nullptr);
}

TEST_F(ConnectionTest, FullySpecifiedTypeAnsweredWithSuccessCodeIsNotAccepted) {
    streaming::CMediaType other = TestMediaType();
    other.SetSubtype(kOtherSubtype);
    m_stream->checkResultForOthers = S_FALSE;
    EXPECT_EQ(Connect({}, &other), VFW_E_TYPE_NOT_ACCEPTED);
    const streaming::CMediaType ours = TestMediaType();
    EXPECT_EQ(m_pin->Connect(m_sink, &ours), S_OK);
}

TEST_F(ConnectionTest, RefusesOutputPinsAndPinsWithoutMemoryTransport) {
    SinkOptions output;
    output.direction = PINDIR_OUTPUT;
    EXPECT_EQ(Connect(output), VFW_E_INVALID_DIRECTION);
    m_sink->Release();
    SinkOptions noTransport;
    noTransport.memInputPin = false;
    EXPECT_EQ(Connect(noTransport), E_NOINTERFACE);
}

TEST_F(ConnectionTest, AllocatorComesFromDownstreamOrIsTheStandardOne) {
    ASSERT_EQ(Connect(), S_OK);
    EXPECT_NE(m_sink->NotifiedAllocator(), nullptr);
    ASSERT_EQ(m_pin->Disconnect(), S_OK);
    ASSERT_EQ(m_sink->Disconnect(), S_OK);
    m_sink->Release();

    SinkOptions offering;
    offering.offerAllocator = true;
    ASSERT_EQ(Connect(offering), S_OK);
    EXPECT_EQ(m_sink->NotifiedAllocator(), m_sink->OwnAllocator());
}

TEST_F(ConnectionTest, GrantedBufferSmallerThanAskedFailsTheConnection) {
    m_stream->grantShortfall = 1;
    const streaming::CMediaType ours = TestMediaType();
    EXPECT_EQ(Connect({}, &ours), E_FAIL);
    EXPECT_EQ(m_pin->Connect(m_sink, nullptr), VFW_E_NO_ACCEPTABLE_TYPES);
    IPin* peer = nullptr;
    EXPECT_EQ(m_pin->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(peer, nullptr);
}

TEST_F(ConnectionTest, UnconnectedPinAnswersDisconnectAndMediaTypeQueries) {
    EXPECT_EQ(m_pin->Disconnect(), S_FALSE);
    AM_MEDIA_TYPE type;
    std::memset(static_cast<void*>(&type), 0xAB, sizeof(type));
    EXPECT_EQ(m_pin->ConnectionMediaType(&type), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(type.majortype, GUID_NULL);
    EXPECT_EQ(type.lSampleSize, 1u);
    EXPECT_EQ(type.bFixedSizeSamples, TRUE);
    EXPECT_EQ(type.pbFormat, nullptr);
    EXPECT_EQ(m_pin->QueryAccept(&type), S_FALSE);
}

TEST_F(ConnectionTest, PinIdentifierIsOneAndFindPinReadsItBack) {
    LPWSTR id = nullptr;
    ASSERT_EQ(m_pin->QueryId(&id), S_OK);
    EXPECT_EQ(id[0], '1');
    EXPECT_EQ(id[1], 0);
    IPin* found = nullptr;
    ASSERT_EQ(m_filter->FindPin(id, &found), S_OK);
    EXPECT_EQ(found, m_pin);
    found->Release();
    CoTaskMemFree(id);
    for (const LPCWSTR bad : {OLESTR("0"), OLESTR("2"), OLESTR("pin")}) {
        found = m_pin;
        EXPECT_EQ(m_filter->FindPin(bad, &found), VFW_E_NOT_FOUND);
        EXPECT_EQ(found, nullptr);
    }
}

TEST_F(ConnectionTest, FilterInfoCutsLongNamesAndStreamTimeNeedsAClock) {
    std::basic_string<WCHAR> name(200, 'n');
    ASSERT_EQ(m_filter->JoinFilterGraph(nullptr, name.c_str()), S_OK);
    FILTER_INFO info{};
    ASSERT_EQ(m_filter->QueryFilterInfo(&info), S_OK);
    EXPECT_EQ(streaming::BoundedLength(info.achName, MAX_FILTER_NAME), 127u);
    EXPECT_EQ(info.pGraph, nullptr);

    REFERENCE_TIME time = 0;
    EXPECT_EQ(m_source->StreamTime(time), VFW_E_NO_CLOCK);
    auto* clock = new ManualClock();
    clock->now = 1000;
    ASSERT_EQ(m_filter->SetSyncSource(clock), S_OK);
    ASSERT_EQ(m_filter->Run(400), S_OK);
    ASSERT_EQ(m_source->StreamTime(time), S_OK);
    EXPECT_EQ(time, 600);
    m_filter->Stop();
    m_filter->SetSyncSource(nullptr);
    clock->Release();
}

TEST_F(ConnectionTest, FilterAnswersItsOwnInterfacesOnly) {
    void* face = nullptr;
    ASSERT_EQ(m_filter->QueryInterface(IID_IMediaFilter, &face), S_OK);
    static_cast<IUnknown*>(face)->Release();
    ASSERT_EQ(m_filter->QueryInterface(IID_IAMovieSetup, &face), S_OK);
    EXPECT_EQ(static_cast<IAMovieSetup*>(face)->Register(), S_FALSE);
    static_cast<IUnknown*>(face)->Release();
    EXPECT_EQ(m_filter->QueryInterface(IID_IMemInputPin, &face), E_NOINTERFACE);
    EXPECT_EQ(face, nullptr);
    CLSID classId{};
    ASSERT_EQ(m_filter->GetClassID(&classId), S_OK);
    EXPECT_EQ(classId, kTestFilterClass);
}

}  // namespace
}  // namespace orvanecam::testing
