#include "serial/port_holders.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The PID a /proc entry names; 0 for the entries that are no process.
pid_t EntryPid(const std::string& name) {
    pid_t pid = 0;
    const auto result = std::from_chars(name.data(), name.data() + name.size(), pid);
    const bool whole = result.ec == std::errc() && result.ptr == name.data() + name.size();
    return whole ? pid : 0;
}

bool HasOpen(const fs::path& fdFolder, const std::string& devicePath) {
    std::error_code error;
    // Processes come and go while the folder is read: any error just ends
    // the look at this one.
    for (fs::directory_iterator it(fdFolder, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (!linkError && target == devicePath) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::optional<STPortHolder> FindPortHolder(const std::string& devicePath,
                                           const std::string& procRoot) {
    const pid_t self = ::getpid();
    std::error_code error;
    for (fs::directory_iterator it(procRoot, error); !error && it != fs::directory_iterator();
         it.increment(error)) {
        const pid_t pid = EntryPid(it->path().filename().string());
        if (pid > 0 && pid != self && HasOpen(it->path() / "fd", devicePath)) {
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
