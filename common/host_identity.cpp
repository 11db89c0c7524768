#include "common/host_identity.h"

#include <unistd.h>

#include <array>
#include <vector>

#include "common/utf.h"

std::u16string HostName() {
    std::array<char, 256> name{};
    if (gethostname(name.data(), name.size() - 1) != 0) return u"";
    return Utf8ToUtf16Replacing(name.data());
}

// getpwuid_r rather than getpwuid: the result must not share a static buffer
// with another thread's lookup.
std::string AccountText(char* passwd::*field) {
    const long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !(found->*field)) {
        return {};
    }
    return found->*field;
}

// The account of the process rather than getlogin(): a program started by
// the desktop has no controlling terminal to ask.
std::u16string LoginName() {
    return Utf8ToUtf16Replacing(AccountText(&passwd::pw_name));
}
