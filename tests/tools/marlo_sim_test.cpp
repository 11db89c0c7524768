// End-to-end tests: each runs the built marlo-sim and reads its
// pseudo-terminal through the link it makes, as Marlo reads a COM port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "common/file_bytes.h"
#include "support/temp_folder.h"
#include "tools/marlo_sim/record_generator.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

const std::string kData = MARLO_TEST_DATA;
// How long a read waits for the next byte before the test gives up.
constexpr int kPatienceMs = 5000;

// Waits up to kPatienceMs for fd to become readable; false on timeout.
bool WaitReadable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    return poll(&entry, 1, kPatienceMs) > 0;
}

// A running marlo-sim with its stdout on a pipe and its stderr in a file;
// killed if the test leaves it running.
class CSimProcess {
public:
    CSimProcess(std::vector<std::string> arguments, const std::string& stderrPath) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe2 failed";
            return;
        }
        m_nStdout = out[0];
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        arguments.insert(arguments.begin(), MARLO_SIM);
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, MARLO_SIM, &actions, nullptr, argv.data(), environ) != 0) {
            ADD_FAILURE() << "cannot start " << MARLO_SIM;
            m_pid = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(out[1]);
    }
    ~CSimProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Wait();
        }
        if (m_nStdout >= 0) {
            close(m_nStdout);
        }
    }
    CSimProcess(const CSimProcess&) = delete;
    CSimProcess& operator=(const CSimProcess&) = delete;

    // Standard output up to the next line end, without it.
    std::string ReadLine() const {
        std::string line;
        char c = 0;
        while (WaitReadable(m_nStdout) && read(m_nStdout, &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }
    // Standard output until the program closes it.
    std::string ReadToEnd() const {
        std::string text;
        char chunk[4096];
        ssize_t got = 0;
        while (WaitReadable(m_nStdout) && (got = read(m_nStdout, chunk, sizeof chunk)) > 0) {
            text.append(chunk, static_cast<std::size_t>(got));
        }
        return text;
    }
    void Signal(int signal) const { kill(m_pid, signal); }
    // The exit code; -1 when the process died of a signal.
    int Wait() {
        int status = 0;
        const bool exited = waitpid(m_pid, &status, 0) == m_pid && WIFEXITED(status);
        m_pid = -1;
        return exited ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t m_pid = -1;
    int m_nStdout = -1;
};

// Reads the terminal at path until it hangs up, or until limit bytes came.
std::string ReadTerminal(const std::string& path, std::size_t limit = std::string::npos) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY);
    EXPECT_GE(fd, 0) << path;
    std::string bytes;
    char chunk[4096];
    ssize_t got = 0;
    while (bytes.size() < limit && WaitReadable(fd) && (got = read(fd, chunk, sizeof chunk)) > 0) {
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    close(fd);
    return bytes;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

// text with the time of each DATE line cut out, checking its form on the way.
std::string WithoutDates(std::string text) {
    constexpr std::string_view kKey = "DATE:";
    constexpr std::string_view kForm = "0000-00-00 00:00:00";  // 0 for any digit
    for (std::size_t at = text.find(kKey); at != text.npos; at = text.find(kKey, at + 1)) {
        const std::size_t start = at + kKey.size();
        const std::string_view date = std::string_view(text).substr(start, kForm.size());
        const bool wellFormed =
            date.size() == kForm.size() &&
            std::equal(date.begin(), date.end(), kForm.begin(), [](char c, char form) {
                return form == '0' ? c >= '0' && c <= '9' : c == form;
            });
        EXPECT_TRUE(wellFormed) << date;
        text.erase(start, wellFormed ? kForm.size() : 0);
    }
    return text;
}

class MarloSim : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        std::filesystem::create_directory(m_root / "ports");
        m_strLink = PathOf("ports/COM1");
    }

    // Runs to its end; the exit code, with stdout in m_strOut.
    int RunToEnd(std::vector<std::string> arguments) {
        CSimProcess sim(std::move(arguments), PathOf("stderr"));
        m_strOut = sim.ReadToEnd();
        return sim.Wait();
    }

    std::string m_strLink;
    std::string m_strOut;
};

}  // namespace

TEST_F(MarloSim, GeneratedTransmissionsArriveCompleteAndInOrder) {
    CSimProcess sim({"--link", m_strLink, "--baud", "0", "--count", "2", "--records", "3",
                     "--interval", "0.1", "--seed", "7"},
                    PathOf("stderr"));
    const std::string slave = sim.ReadLine();
    EXPECT_TRUE(slave.starts_with("/dev/pts/")) << slave;
    EXPECT_EQ(std::filesystem::read_symlink(m_strLink), slave);

    const std::string received = ReadTerminal(m_strLink);
    EXPECT_EQ(sim.Wait(), 0);
    EXPECT_FALSE(Exists(m_strLink));
    EXPECT_EQ(ReadBytes("stderr"), "");

    STGeneratorSettings settings;
    settings.m_nRecords = 3;
    CRecordGenerator generator(settings, 7);
    const std::string first = generator.NextTransmission("");
    const std::string second = generator.NextTransmission("");
    EXPECT_EQ(WithoutDates(received), first + second);
}

TEST_F(MarloSim, CaptureArrivesByteForByteAsEachTransmission) {
    std::string capture;
    ASSERT_TRUE(ReadFileBytes(kData + "/leeb_batch.cap", capture));
    CSimProcess sim({"--file", kData + "/leeb_batch.cap", "--link", m_strLink, "--baud", "0",
                     "--count", "2", "--interval", "0"},
                    PathOf("stderr"));
    sim.ReadLine();
    EXPECT_EQ(ReadTerminal(m_strLink), capture + capture);
    EXPECT_EQ(sim.Wait(), 0);

    // Far more than the terminal holds, read only once it is full: the
    // program waits for room and keeps every byte.
    std::string large;
    while (large.size() < 200'000) {
        large += capture;
    }
    WriteBytes("large.cap", large);
    CSimProcess bulk({"--file", PathOf("large.cap"), "--link", m_strLink, "--baud", "0"},
                     PathOf("stderr"));
    bulk.ReadLine();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(ReadTerminal(m_strLink, large.size()), large);
    bulk.Signal(SIGTERM);  // spares the test the last second
    EXPECT_EQ(bulk.Wait(), 0);
}

// Nobody reads, so the terminal fills up and the program waits to write: the
// signal must still end it at once.
TEST_F(MarloSim, StopSignalEndsAnEndlessRunAndRemovesTheLink) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        CSimProcess sim({"--link", m_strLink, "--count", "0", "--interval", "0", "--baud", "0"},
                        PathOf("stderr"));
        sim.ReadLine();
        EXPECT_TRUE(Exists(m_strLink));
        std::this_thread::sleep_for(300ms);
        const auto signalled = Clock::now();
        sim.Signal(signal);
        EXPECT_EQ(sim.Wait(), 0);
        EXPECT_LT(Clock::now() - signalled, 1s);
        EXPECT_FALSE(Exists(m_strLink));
    }
}

TEST_F(MarloSim, BaudRateSpacesTheBytes) {
    // 1920 bytes at 960 bytes a second take 2 s; only a generous bound is
    // asserted, timing on a shared machine varies.
    const std::string capture(1920, 'x');
    WriteBytes("long.cap", capture);
    const auto started = Clock::now();
    CSimProcess sim({"--file", PathOf("long.cap"), "--link", m_strLink, "--baud", "9600"},
                    PathOf("stderr"));
    sim.ReadLine();
    EXPECT_EQ(ReadTerminal(m_strLink, capture.size()), capture);
    EXPECT_GE(Clock::now() - started, 1200ms);
    sim.Signal(SIGTERM);  // spares the test the last second
    EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(MarloSim, DelayHoldsTheFirstTransmissionBack) {
    WriteBytes("short.cap", "NAME:A\r\nDATE:x\r\n");
    const auto started = Clock::now();
    CSimProcess sim(
        {"--file", PathOf("short.cap"), "--link", m_strLink, "--baud", "0", "--delay", "0.5"},
        PathOf("stderr"));
    sim.ReadLine();
    EXPECT_EQ(ReadTerminal(m_strLink, 17), "NAME:A\r\nDATE:x\r\n");
    EXPECT_GE(Clock::now() - started, 450ms);
    sim.Signal(SIGTERM);
    EXPECT_EQ(sim.Wait(), 0);
}

TEST_F(MarloSim, UsageErrorsExitTwoAndHelpExitsZero) {
    const std::vector<std::vector<std::string>> mistakes{
        {"--bogus"},         {"extra"},
        {"--records"},       {"--records", "0"},
        {"--baud", "fast"},  {"--interval", "0,5"},
        {"--model", "mean"}, {"--file", kData + "/leeb_batch.cap", "--seed", "1"},
    };
    for (const std::vector<std::string>& arguments : mistakes) {
        SCOPED_TRACE(arguments.front());
        EXPECT_EQ(RunToEnd(arguments), 2);
        EXPECT_NE(ReadBytes("stderr").find("\nusage: marlo-sim "), std::string::npos);
    }
    for (const std::string help : {"--help", "-h"}) {
        EXPECT_EQ(RunToEnd({"--records", "3", help}), 0);
        EXPECT_TRUE(m_strOut.starts_with("usage: marlo-sim ")) << m_strOut;
    }
    EXPECT_EQ(RunToEnd({"--version"}), 0);
    EXPECT_EQ(m_strOut, "marlo-sim 2.0\n");
}

TEST_F(MarloSim, InputAndOutputFailuresExitOne) {
    EXPECT_EQ(RunToEnd({"--link", PathOf("missing/COM1"), "--baud", "0"}), 1);
    EXPECT_EQ(m_strOut, "");

    WriteBytes("ports/COM2", "keep");
    EXPECT_EQ(RunToEnd({"--link", PathOf("ports/COM2"), "--baud", "0"}), 1);
    EXPECT_EQ(ReadBytes("ports/COM2"), "keep");

    EXPECT_EQ(RunToEnd({"--file", PathOf("missing.cap")}), 1);
    EXPECT_NE(ReadBytes("stderr").find("missing.cap"), std::string::npos);
}
