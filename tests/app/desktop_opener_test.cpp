// The report's opener against fake xdg-open programs on PATH.
#include "app/desktop_opener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCoreApplication>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/path_bytes.h"
#include "scripted_modal.h"
#include "support/temp_folder.h"

namespace {

class DesktopOpener : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        m_pModal = InstallScriptedModal();
        m_strPath = std::getenv("PATH") ? std::getenv("PATH") : "";
        setenv("PATH", (m_root.string() + ":" + m_strPath).c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", m_strPath.c_str(), 1);
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }
    // xdg-open that leaves with the given status.
    void FakeOpener(int status) {
        WriteBytes("xdg-open", "#!/bin/sh\nexit " + std::to_string(status) + "\n");
        ::chmod(PathOf("xdg-open").c_str(), 0755);
    }
    // Lets the opener finish; whether a message came.
    bool Told(std::chrono::milliseconds limit = std::chrono::seconds(3)) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (m_pModal->m_messages.empty() && std::chrono::steady_clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return !m_pModal->m_messages.empty();
    }

    CScriptedModal* m_pModal = nullptr;
    std::string m_strPath;
};

}  // namespace

TEST_F(DesktopOpener, AFailingOpenerIsToldWithTheFullPath) {
    FakeOpener(3);  // what xdg-open says when no method is available
    CDesktopOpener opener;
    EXPECT_TRUE(opener.Open("/data/Result/20261207104806.xlsx"));
    ASSERT_TRUE(Told());
    EXPECT_EQ(m_pModal->m_messages,
              std::vector<QString>{"Marlo|No application could open the report. It is saved as "
                                   "/data/Result/20261207104806.xlsx"});
}

TEST_F(DesktopOpener, ASucceedingOpenerSaysNothingAndAMissingOneFailsAtOnce) {
    FakeOpener(0);
    CDesktopOpener opener;
    EXPECT_TRUE(opener.Open("/data/report.xlsx"));
    EXPECT_FALSE(Told(std::chrono::milliseconds(500)));
    EXPECT_FALSE(CDesktopOpener(PathOf("no-such-opener").c_str()).Open("/data/report.xlsx"));
}

TEST_F(DesktopOpener, ANameThatIsNotUtf8ReachesTheOpenerAsItsBytes) {
    WriteBytes("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + PathOf("opened") + "'\n");
    ::chmod(PathOf("xdg-open").c_str(), 0755);
    CDesktopOpener opener;
    const std::string name = "/data/R\xFF\\0101 x\n";
    ASSERT_TRUE(opener.Open(PathText(name)));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (ReadBytes("opened").empty() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(Told(std::chrono::milliseconds(100)));
    EXPECT_EQ(ReadBytes("opened"), name);
}
