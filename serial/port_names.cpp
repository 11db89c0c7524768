#include "serial/port_names.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

struct DeviceFamily {
    std::string_view prefix;
    int firstPort;
};

constexpr DeviceFamily kUsb{"ttyUSB", kFirstUsbPort};
constexpr DeviceFamily kAcm{"ttyACM", kFirstAcmPort};

// The k of a name such as ttyUSBk; -1 when the name is not of the family.
int DeviceIndex(std::string_view name, const DeviceFamily& family) {
    if (!name.starts_with(family.prefix) || name.size() == family.prefix.size()) {
        return -1;
    }
    const std::string_view digits = name.substr(family.prefix.size());
    int index = -1;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    const bool whole = result.ec == std::errc() && result.ptr == digits.data() + digits.size();
    return whole ? index : -1;
}

bool LinkExists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace

std::string ResolvePortPath(int comNumber, const std::string& linkFolder) {
    if (comNumber <= 0) {
        return {};
    }
    const std::string link = linkFolder + "COM" + std::to_string(comNumber);
    if (!linkFolder.empty() && LinkExists(link)) {
        return link;
    }
    if (comNumber >= kFirstAcmPort) {
        return "/dev/ttyACM" + std::to_string(comNumber - kFirstAcmPort);
    }
    if (comNumber >= kFirstUsbPort) {
        return "/dev/ttyUSB" + std::to_string(comNumber - kFirstUsbPort);
    }
    return "/dev/ttyS" + std::to_string(comNumber - 1);
}

std::vector<STPortDevice> ListUsbSerialDevices(const std::string& devFolder) {
    std::vector<STPortDevice> devices;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(devFolder, error)) {
        const std::string name = entry.path().filename().string();
        for (const DeviceFamily& family : {kUsb, kAcm}) {
            const int index = DeviceIndex(name, family);
            if (index >= 0 && index < kFirstAcmPort - kFirstUsbPort) {
                devices.push_back({family.firstPort + index, entry.path().string()});
            }
        }
    }
    std::sort(devices.begin(), devices.end(),
              [](const STPortDevice& a, const STPortDevice& b) { return a.m_nCom < b.m_nCom; });
    return devices;
}
