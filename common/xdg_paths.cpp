#include "common/xdg_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// getpwuid_r rather than getpwuid: the result must not share a static buffer
// with another thread's lookup.
std::string AccountHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found ||
        !found->pw_dir) {
        return {};
    }
    return found->pw_dir;
}

std::string WithTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

}  // namespace

std::string DataHomeDirectory() {
    // A relative XDG_DATA_HOME would depend on the working folder; the XDG
    // rules say to ignore it.
    const std::string dataHome = Variable("XDG_DATA_HOME");
    if (!dataHome.empty() && dataHome.front() == '/') {
        return WithTrailingSeparator(dataHome);
    }
    std::string home = Variable("HOME");
    if (home.empty()) {
        home = AccountHome();
    }
    // With no home at all this gives "/.local/share/", which fails loudly
    // where it is used instead of landing in the working folder.
    while (!home.empty() && home.back() == '/') {
        home.pop_back();
    }
    return home + "/.local/share/";
}

std::string MarloDataDirectory() {
    return DataHomeDirectory() + "marlo/";
}

std::string CaptureDirectory() {
    return MarloDataDirectory() + "captures/";
}
