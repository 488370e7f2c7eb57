// A device key the store cannot create (a file stands where its folder belongs, which stops
// even a privileged user) fails registration with its own code and leaves the class key.
#include <gtest/gtest.h>

#include <fstream>

#include "support/registration_fixture.h"

namespace orvanecam::testing {
namespace {

TEST_F(RegistrationTest, DeviceKeyThatCannotBeWrittenFailsAndKeepsTheClassKey) {
    const auto category = m_store / "HKEY_LOCAL_MACHINE" / "software" / "classes" / "clsid" /
                          "{860bb310-5d01-11d0-bd3b-00a0c911ce86}";
    std::filesystem::create_directories(category);
    std::ofstream(category / "instance") << "in the way";

    const HRESULT result = m_register();
    EXPECT_EQ(static_cast<std::uint32_t>(result) & 0xFFFF0000u, 0x80070000u) << std::hex << result;
    EXPECT_TRUE(KeyExists(kClassKey));
    EXPECT_FALSE(KeyExists(kInstanceKey));
}

}  // namespace
}  // namespace orvanecam::testing
