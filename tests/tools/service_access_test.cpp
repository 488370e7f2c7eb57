// Whether the frame server's account (LOCAL SERVICE) may load the DLL, read from security
// descriptors as the system writes them.
#include <gtest/gtest.h>

#include "mfcamera/service_access.h"

namespace orvanecam::tools {
namespace {

TEST(ServiceAccessTest, AnInstallFolderThatUsersMayReadIsReadable) {
    // Program Files as Windows 11 ships it.
    EXPECT_EQ(LocalServiceAccess(
                  "O:S-1-5-80-956008885-3418522649G:S-1-5-80-956008885-3418522649"
                  "D:PAI(A;;FA;;;S-1-5-80-956008885-3418522649)(A;CIIO;GA;;;S-1-5-80-95600888)"
                  "(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
                  "(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)"),
              ServiceAccess::kGranted);
    EXPECT_EQ(LocalServiceAccess("D:(A;;0x1200a9;;;LS)"), ServiceAccess::kGranted);
    // Read from one group, execute from another.
    EXPECT_EQ(LocalServiceAccess("D:AI(A;ID;FR;;;AU)(A;ID;FX;;;S-1-5-6)"), ServiceAccess::kGranted);
    // A denial after both rights were allowed changes nothing: entries are read in order.
    EXPECT_EQ(LocalServiceAccess("D:(A;;FA;;;BU)(D;;FA;;;WD)"), ServiceAccess::kGranted);
}

TEST(ServiceAccessTest, AProfileFolderOrADenialKeepsTheServiceOut) {
    // A user's own folder: the system, administrators and the user only.
    EXPECT_EQ(LocalServiceAccess("D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"
                                 "(A;OICI;FA;;;S-1-5-21-1004336348-1177238915-682003330-1001)"),
              ServiceAccess::kDenied);
    EXPECT_EQ(LocalServiceAccess("D:(D;;FX;;;WD)(A;;FA;;;BU)"), ServiceAccess::kDenied);
    // Read without execute cannot map a DLL; an entry for children only grants nothing here.
    EXPECT_EQ(LocalServiceAccess("D:(A;;0x120089;;;AU)"), ServiceAccess::kDenied);
    EXPECT_EQ(LocalServiceAccess("D:(A;OICIIO;GA;;;BU)"), ServiceAccess::kDenied);
    EXPECT_EQ(LocalServiceAccess("D:"), ServiceAccess::kDenied);
    EXPECT_EQ(LocalServiceAccess("D:S:(AU;SA;FA;;;WD)"), ServiceAccess::kDenied);
}

TEST(ServiceAccessTest, NoListMeansOpenAndGarbageIsSaidToBeGarbage) {
    EXPECT_EQ(LocalServiceAccess("O:BAG:SY"), ServiceAccess::kGranted);
    EXPECT_EQ(LocalServiceAccess("D:NO_ACCESS_CONTROL"), ServiceAccess::kGranted);
    EXPECT_EQ(LocalServiceAccess("D:(A;;FA;;;WD)S:(AU;SA;FA;;;WD)"), ServiceAccess::kGranted);
    for (const char* garbage : {"D:(A;;FA;;WD)", "D:(A;;FA;;;WD", "D:(A;;0xZZ;;;WD)",
                                "D:(A;;F;;;WD)", "D:(A;;0x123456789;;;WD)", "D:junk"}) {
        EXPECT_EQ(LocalServiceAccess(garbage), ServiceAccess::kUnreadable) << garbage;
    }
}

}  // namespace
}  // namespace orvanecam::tools
