// `sleep` as a child process, holding the device given (if any) as its input,
// and a descriptor of the parent's (if any) as its output, and nothing else;
// killed and reaped with the object.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>

class CSleepingChild {
public:
    explicit CSleepingChild(const std::string& device = {}, int output = -1) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!device.empty()) {
            posix_spawn_file_actions_addopen(&actions, 0, device.c_str(), O_RDWR | O_NOCTTY, 0);
        }
        if (output >= 0) {
            posix_spawn_file_actions_adddup2(&actions, output, 1);
        }
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);  // the test's terminal too
        char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("10"), nullptr};
        // Returns once sleep runs, with its input open.
        if (::posix_spawnp(&m_nPid, "sleep", &actions, nullptr, argv, environ) != 0) {
            m_nPid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
    }
    ~CSleepingChild() { Kill(); }
    CSleepingChild(const CSleepingChild&) = delete;
    CSleepingChild& operator=(const CSleepingChild&) = delete;

    pid_t Pid() const { return m_nPid; }
    void Kill() {
        if (m_nPid > 0) {
            ::kill(m_nPid, SIGKILL);
            ::waitpid(m_nPid, nullptr, 0);
            m_nPid = -1;
        }
    }

private:
    pid_t m_nPid = -1;
};
