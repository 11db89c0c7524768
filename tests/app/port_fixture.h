// A pseudo-terminal standing in for the tester, linked as ports/COMn beside
// the test program under a port number of this test process's own, with a
// lock folder and a journal folder of the test's own.
#pragma once

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "common/paths.h"
#include "persistence/setting.h"
#include "support/temp_folder.h"

class PortFixture : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        g_stSetting.m_nCom = 5000 + static_cast<int>(::getpid() % 4000);
        m_link = std::filesystem::path(GetModuleDirectory()) / "ports" /
                 ("COM" + std::to_string(g_stSetting.m_nCom));
        std::filesystem::create_directories(m_link.parent_path());
        std::filesystem::remove(m_link);
        std::filesystem::create_directories(m_root / "locks");
        NewTerminal();
    }
    void TearDown() override {
        std::filesystem::remove(m_link);
        CloseTerminal();
        TempFolder::TearDown();
    }

    std::string LockFolder() const { return (m_root / "locks").string(); }
    std::string JournalFolder() const { return (m_root / "captures").string(); }

    void NewTerminal() {
        char name[256] = {};
        ASSERT_EQ(::openpty(&m_master, &m_slave, name, nullptr, nullptr), 0);
        m_strSlave = name;
    }
    void CloseTerminal() {
        for (int* fd : {&m_master, &m_slave}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
    }
    // The far end hangs up, as an unplugged adapter does.
    void HangUp() {
        ::close(m_master);
        m_master = -1;
    }
    void Link() {
        std::filesystem::remove(m_link);
        std::filesystem::create_symlink(m_strSlave, m_link);
    }

    void Send(const std::string& bytes) {
        ASSERT_EQ(::write(m_master, bytes.data(), bytes.size()),
                  static_cast<ssize_t>(bytes.size()));
    }
    // Sends the pieces with a pause between them, each arriving as a chunk
    // of its own.
    void SendPieces(std::initializer_list<std::string> pieces,
                    std::chrono::milliseconds pause = std::chrono::milliseconds(40)) {
        for (const std::string& piece : pieces) {
            Send(piece);
            Pump(pause);
        }
    }

    static void Pump(std::chrono::milliseconds time) {
        const auto until = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < until) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    template <class Condition>
    static bool WaitFor(Condition condition,
                        std::chrono::milliseconds limit = std::chrono::seconds(5)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!condition() && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return condition();
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_strSlave;
    std::filesystem::path m_link;
};

// Leeb single readings as the tester sends them, each ending with its DATE
// line and one CR LF.
inline std::string LeebRecord(const std::string& name, const std::string& value = "448") {
    return "NAME:" + name + "\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\nVALUE:" + value +
           "\r\nDATE:2026-12-07 10:48:06\r\n";
}

// A transmission of the records, separated by empty lines.
inline std::string Transmission(std::initializer_list<std::string> records) {
    std::string text;
    for (const std::string& record : records) {
        text += (text.empty() ? "" : "\r\n") + record;
    }
    return text;
}
