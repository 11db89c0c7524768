#include "tools/marlo_sim/pseudo_terminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

std::string ReadLink(const std::string& path) {
    std::array<char, 4096> buffer{};
    const ssize_t length = readlink(path.c_str(), buffer.data(), buffer.size());
    return length < 0 ? std::string() : std::string(buffer.data(), static_cast<size_t>(length));
}

}  // namespace

CUniqueFd& CUniqueFd::operator=(CUniqueFd&& other) noexcept {
    if (this != &other) {
        CUniqueFd doomed(m_nFd);
        m_nFd = other.m_nFd;
        other.m_nFd = -1;
    }
    return *this;
}

CUniqueFd::~CUniqueFd() {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
}

std::optional<CPseudoTerminal> CPseudoTerminal::Open(std::string& error) {
    CPseudoTerminal terminal;
    terminal.m_master = CUniqueFd(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    const int master = terminal.m_master.Get();
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
        error = SystemError("cannot open a pseudo-terminal");
        return std::nullopt;
    }
    std::array<char, 256> name{};
    if (ptsname_r(master, name.data(), name.size()) != 0) {
        error = SystemError("cannot name the pseudo-terminal");
        return std::nullopt;
    }
    terminal.m_strSlavePath = name.data();
    terminal.m_slave = CUniqueFd(open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    const int slave = terminal.m_slave.Get();
    termios settings{};
    if (slave < 0 || tcgetattr(slave, &settings) != 0) {
        error = SystemError("cannot open " + terminal.m_strSlavePath);
        return std::nullopt;
    }
    cfmakeraw(&settings);
    // Writes wait in poll instead, where a stop request is still noticed.
    const int flags = fcntl(master, F_GETFL);
    if (tcsetattr(slave, TCSANOW, &settings) != 0 || flags < 0 ||
        fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = SystemError("cannot set up " + terminal.m_strSlavePath);
        return std::nullopt;
    }
    return terminal;
}

CSymbolicLink::~CSymbolicLink() {
    if (!m_strPath.empty() && ReadLink(m_strPath) == m_strTarget) {
        unlink(m_strPath.c_str());
    }
}

bool CSymbolicLink::Create(const std::string& path, const std::string& target, std::string& error) {
    struct stat existing {};
    if (lstat(path.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            error = "will not replace " + path + ": it is not a symbolic link";
            return false;
        }
        if (unlink(path.c_str()) != 0) {
            error = SystemError("cannot replace the link " + path);
            return false;
        }
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        error = SystemError("cannot create the link " + path);
        return false;
    }
    m_strPath = path;
    m_strTarget = target;
    return true;
}
