// Which device a port number names. COMn is the link linkFolder/COMn when
// that exists (a link to any terminal: a USB adapter, a pseudo-terminal),
// else /dev/ttyS<n-1>; 101+k is /dev/ttyUSBk and 201+k /dev/ttyACMk.
#pragma once

#include <string>
#include <vector>

inline constexpr int kFirstUsbPort = 101;
inline constexpr int kFirstAcmPort = 201;

// The device path; empty for numbers that name no port (0 and below).
std::string ResolvePortPath(int comNumber, const std::string& linkFolder);

struct STPortDevice {
    int m_nCom;
    std::string m_strPath;
};

// The USB and CDC-ACM serial devices present under devFolder, by number.
std::vector<STPortDevice> ListUsbSerialDevices(const std::string& devFolder = "/dev/");
