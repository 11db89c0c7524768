#include "serial/line_settings.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <fstream>

#include "serial/port_names.h"
#include "support/temp_folder.h"

namespace {

struct FramingCase {
    std::uint8_t size, parity, stopBits;
    tcflag_t expected;  // CSIZE, parity and stop bits; 0 for no line
};

class RawLineFlags : public testing::TestWithParam<FramingCase> {};

constexpr tcflag_t kFraming = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB;

}  // namespace

TEST_P(RawLineFlags, SetExactlyTheFourParametersInRawMode) {
    const FramingCase& c = GetParam();
    STLineFlags cooked;
    cooked.m_ulInput = ICRNL | IXON | IXOFF | PARMRK | INPCK | IUTF8;
    cooked.m_ulOutput = OPOST | ONLCR;
    cooked.m_ulLocal = ECHO | ICANON | ISIG | IEXTEN;
    cooked.m_ulControl = CS7 | PARENB | CRTSCTS | HUPCL | B9600;
    const auto flags = MakeRawLineFlags({57600, c.size, c.parity, c.stopBits}, cooked);
    if (c.expected == 0) {
        EXPECT_FALSE(flags.has_value());
        return;
    }
    ASSERT_TRUE(flags.has_value());
    EXPECT_EQ(flags->m_ulControl & kFraming, c.expected);
    EXPECT_EQ(flags->m_ulControl & (CREAD | CLOCAL | CRTSCTS), CREAD | CLOCAL);
    EXPECT_EQ(flags->m_ulControl & HUPCL, HUPCL);  // what raw mode leaves alone stays
    EXPECT_EQ(flags->m_ulInput, IUTF8);
    EXPECT_EQ(flags->m_ulOutput, ONLCR);
    EXPECT_EQ(flags->m_ulLocal, 0u);
    EXPECT_EQ(flags->m_ulSpeed, 57600u);
}

INSTANTIATE_TEST_SUITE_P(
    Framing, RawLineFlags,
    testing::Values(FramingCase{8, 0, 0, CS8}, FramingCase{7, 1, 0, CS7 | PARENB | PARODD},
                    FramingCase{7, 2, 2, CS7 | PARENB | CSTOPB},
                    FramingCase{8, 3, 0, CS8 | PARENB | CMSPAR | PARODD},
                    FramingCase{6, 4, 0, CS6 | PARENB | CMSPAR}, FramingCase{5, 0, 1, CS5 | CSTOPB},
                    FramingCase{5, 0, 2, CS5 | CSTOPB}, FramingCase{8, 0, 1, 0},
                    FramingCase{4, 0, 0, 0}, FramingCase{9, 0, 0, 0}, FramingCase{8, 5, 0, 0},
                    FramingCase{8, 0, 3, 0}));

TEST(RawLineFlags, AZeroBaudRateIsNoLine) {
    EXPECT_FALSE(MakeRawLineFlags({0, 8, 0, 0}, {}).has_value());
}

TEST(LineFlagsTaken, AllowsARoundedBaudRateOnly) {
    const STLineFlags wanted = *MakeRawLineFlags({115200, 8, 0, 0}, {});
    STLineFlags actual = wanted;
    actual.m_ulSpeed = 115384;  // what a 16x divider of 1.8432 MHz gives
    EXPECT_TRUE(LineFlagsTaken(wanted, actual));
    actual.m_ulSpeed = 9600;
    EXPECT_FALSE(LineFlagsTaken(wanted, actual));
    actual = wanted;
    actual.m_ulControl = (actual.m_ulControl & ~static_cast<std::uint32_t>(CSIZE)) | CS7;
    EXPECT_FALSE(LineFlagsTaken(wanted, actual));
}

TEST(PortNames, ResolveLinksFirstThenTheDeviceFamilies) {
    EXPECT_EQ(ResolvePortPath(3, ""), "/dev/ttyS2");
    EXPECT_EQ(ResolvePortPath(1, "/nonexistent/"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortPath(30, ""), "/dev/ttyS29");
    EXPECT_EQ(ResolvePortPath(101, ""), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortPath(205, ""), "/dev/ttyACM4");
    EXPECT_EQ(ResolvePortPath(0, ""), "");
    EXPECT_EQ(ResolvePortPath(-1, ""), "");
}

class PortFolders : public TempFolder {};

TEST_F(PortFolders, LinkOverridesAndDeviceListIsSortedByNumber) {
    std::filesystem::create_symlink("/nowhere", m_root / "COM3");
    EXPECT_EQ(ResolvePortPath(3, m_root.string() + "/"), (m_root / "COM3").string());
    for (const char* name : {"ttyACM2", "ttyUSB10", "ttyUSB0", "ttyUSBx", "ttyS0", "ttyUSB"}) {
        WriteBytes(name, "");
    }
    const std::vector<STPortDevice> devices = ListUsbSerialDevices(m_root.string() + "/");
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].m_nCom, 101);
    EXPECT_EQ(devices[1].m_nCom, 111);
    EXPECT_EQ(devices[2].m_nCom, 203);
    EXPECT_EQ(devices[2].m_strPath, (m_root / "ttyACM2").string());
    EXPECT_TRUE(ListUsbSerialDevices(PathOf("missing/")).empty());
}
