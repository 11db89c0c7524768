#include "serial/port_lock.h"

#include <gtest/gtest.h>

#include <utility>

TEST(PortLock, NamesAndPidsInTheUucpForm) {
    for (const auto& [device, name] : {std::pair{"/dev/ttyUSB0", "LCK..ttyUSB0"},
                                       {"/dev/pts/3", "LCK..pts_3"},
                                       {"/dev/serial/by-id/usb-x", "LCK..serial_by-id_usb-x"},
                                       {"/tmp/COM1", "LCK..tmp_COM1"}}) {
        EXPECT_EQ(LockFileName(device), name);
    }
    for (const auto& [text, pid] : {std::pair{"       712\n", 712},
                                    {"712", 712},
                                    {"\t 4194304 \r\n", 4194304},
                                    {"", 0},
                                    {" \n", 0},
                                    {"71 2", 0},
                                    {"712x", 0},
                                    {"-7", 0},
                                    {"0", 0}}) {
        EXPECT_EQ(ParseLockPid(text), pid) << '"' << text << '"';
    }
}
