#include "serial/port_holders.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPtsFolder = "/dev/pts/";

// The number text is as a whole; -1 when it is no number.
int WholeNumber(std::string_view text) {
    int number = -1;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), number);
    const bool whole = result.ec == std::errc() && result.ptr == text.data() + text.size();
    return whole ? number : -1;
}

// The pseudo-terminal a master descriptor serves, from its fdinfo; -1 when
// it says none.
int MasterIndex(const fs::path& fdinfo) {
    std::ifstream file(fdinfo);
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with("tty-index:")) {
            return static_cast<int>(std::strtol(line.c_str() + 10, nullptr, 10));
        }
    }
    return -1;
}

// Whether the process has devicePath open. One that also has the master of
// that pseudo-terminal open is its far end (a simulator standing in for the
// tester), which the reader needs rather than competes with.
bool HoldsDevice(const fs::path& process, const std::string& devicePath) {
    const std::string_view device = devicePath;
    const int ptsIndex =
        device.starts_with(kPtsFolder) ? WholeNumber(device.substr(kPtsFolder.size())) : -1;
    bool holds = false;
    bool farEnd = false;
    std::error_code error;
    // Processes come and go while the folder is read: any error just ends
    // the look at this one.
    for (fs::directory_iterator it(process / "fd", error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError) {
            continue;
        }
        holds = holds || target == devicePath;
        if (ptsIndex >= 0 && (target == "/dev/ptmx" || target == "/dev/pts/ptmx")) {
            farEnd = farEnd || MasterIndex(process / "fdinfo" / it->path().filename()) == ptsIndex;
        }
    }
    return holds && !farEnd;
}

}  // namespace

std::optional<STPortHolder> FindPortHolder(const std::string& devicePath,
                                           const std::string& procRoot) {
    const pid_t self = ::getpid();
    std::error_code error;
    for (fs::directory_iterator it(procRoot, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const pid_t pid = WholeNumber(it->path().filename().string());
        if (pid > 0 && pid != self && HoldsDevice(it->path(), devicePath)) {
            return STPortHolder{pid, ProcessName(pid, procRoot)};
        }
    }
    return std::nullopt;
}

std::string ProcessName(pid_t pid, const std::string& procRoot) {
    std::ifstream file(fs::path(procRoot) / std::to_string(pid) / "comm");
    std::string name(std::istreambuf_iterator<char>(file), {});
    const auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    name.erase(std::find_if_not(name.rbegin(), name.rend(), isSpace).base(), name.end());
    name.erase(name.begin(), std::find_if_not(name.begin(), name.end(), isSpace));
    return name;
}
