// The whole receive path in the window: a 1 MB transmission of 10,000 Leeb
// records written to a pseudo-terminal as fast as it takes them, received
// through the window into its buffer and raw text, then filed by Add. A
// timer probes the window's event loop for stalls. For comparison, a plain
// read loop (what cat does) drains the same transmission from a terminal.
//
//   bench_receive            runs on the offscreen platform
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/ledgermill_dlg.h"
#include "common/paths.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string Transmission(int records) {
    std::string text;
    for (int i = 0; i < records; ++i) {
        text += "NAME:P" + std::to_string(i) + "\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\n";
        text += "VALUE:448.5,452,460.25,455,449\r\nDATE:2016-05-04 10:20:30\r\n";
        text += i + 1 < records ? "\r\n" : "";
    }
    return text;
}

void WriteAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + sent, bytes.size() - sent);
        sent += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
}

double Seconds(Clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// What cat does: read the terminal until every byte has come.
double PlainReadSeconds(const std::string& text) {
    int master = -1;
    int slave = -1;
    ::openpty(&master, &slave, nullptr, nullptr, nullptr);
    termios raw{};
    ::tcgetattr(slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(slave, TCSANOW, &raw);
    std::thread writer([&] { WriteAll(master, text); });
    std::string block(1 << 16, '\0');
    std::size_t received = 0;
    Clock::time_point start;
    while (received < text.size()) {
        const ssize_t got = ::read(slave, block.data(), block.size());
        if (got <= 0) {
            break;
        }
        if (received == 0) {
            start = Clock::now();
        }
        received += static_cast<std::size_t>(got);
    }
    const double seconds = Seconds(Clock::now() - start);
    writer.join();
    ::close(master);
    ::close(slave);
    return seconds;
}

// The New dialog answered with OK at once, as an operator would.
class CAcceptingModal : public CModal {
public:
    int Run(QDialog&) override { return QDialog::Accepted; }
};

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 10000;
    const std::string text = Transmission(records);

    int master = -1;
    int slave = -1;
    char name[256] = {};
    ::openpty(&master, &slave, name, nullptr, nullptr);
    CModal::Install(std::make_unique<CAcceptingModal>());
    ResetDefaults(g_stSetting);
    g_stSetting.m_nCom = 9999;
    g_stSetting.m_nTestMethod = kTestMethodLeeb;
    const auto link = std::filesystem::path(GetModuleDirectory()) / "ports" / "COM9999";
    std::filesystem::create_directories(link.parent_path());
    std::filesystem::remove(link);
    std::filesystem::create_symlink(name, link);

    CLedgermillDlg window;
    window.OnNew();
    window.OnOpen();
    std::filesystem::remove(link);

    // Longest gap between two turns of the event loop.
    Clock::duration longestStall{};
    Clock::time_point lastTurn = Clock::now();
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestStall = std::max(longestStall, now - lastTurn);
        lastTurn = now;
    });
    probe.start(5);

    // Wait out the reader's first idle pause so the clock measures receiving.
    const Clock::time_point settle = Clock::now() + std::chrono::milliseconds(600);
    while (Clock::now() < settle) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    lastTurn = Clock::now();
    longestStall = {};
    const Clock::time_point start = Clock::now();
    std::thread writer([&] { WriteAll(master, text); });
    while (window.m_recvBuffer.m_nLength < static_cast<std::int32_t>(text.size()) &&
           Clock::now() - start < std::chrono::seconds(60)) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    const double received = Seconds(Clock::now() - start);
    writer.join();
    window.OnAdd();
    const double total = Seconds(Clock::now() - start);
    const std::size_t items = window.m_pCurBatch->m_itemVector.size();
    const bool textWhole =
        window.m_rawText.toPlainText().isEmpty() && window.m_recvBuffer.m_nLength == 0;
    window.OnOpen();
    ::close(master);
    ::close(slave);

    std::printf("1 MB transmission (%zu bytes, 10000 Leeb records) through the window:\n",
                text.size());
    std::printf("  received into buffer and raw text: %.3f s\n", received);
    std::printf("  received and filed by Add:         %.3f s (%zu items filed%s)\n", total, items,
                textWhole ? "" : ", buffer not emptied");
    std::printf("  longest event-loop stall:          %.1f ms\n",
                std::chrono::duration<double, std::milli>(longestStall).count());
    std::printf("  fastest offered line (256000 baud): %.1f s for the same bytes\n",
                static_cast<double>(text.size()) / 25600.0);
    std::printf("  plain read loop (cat) draining it:  %.3f s\n", PlainReadSeconds(text));
    return items == static_cast<std::size_t>(records) ? 0 : 1;
}
