// A pseudo-terminal pair standing in for a tester on a serial line, with
// the link the port resolves COMn through.
#pragma once

#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <string_view>

class PseudoTerminal {
public:
    PseudoTerminal() {
        char name[256] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) == 0) {
            m_strSlavePath = name;
        }
    }
    ~PseudoTerminal() {
        CloseMaster();
        if (m_slave >= 0) {
            ::close(m_slave);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool IsOpen() const { return m_master >= 0; }
    const std::string& SlavePath() const { return m_strSlavePath; }
    // A descriptor of the terminal the port opens, to inspect its flags.
    int Slave() const { return m_slave; }

    // Makes folder/COMn name this terminal.
    void LinkAs(const std::filesystem::path& folder, int comNumber) const {
        std::filesystem::create_symlink(m_strSlavePath,
                                        folder / ("COM" + std::to_string(comNumber)));
    }

    bool Send(std::string_view bytes) const {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_master, bytes.data(), bytes.size());
            if (written <= 0) {
                return false;
            }
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }

    // The far end hangs up: the terminal reads as gone from now on.
    void CloseMaster() {
        if (m_master >= 0) {
            ::close(m_master);
            m_master = -1;
        }
    }
    int Master() const { return m_master; }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_strSlavePath;
};
