// The whole receive path in the window: a 1 MB transmission of 10,000 Leeb
// records written to a pseudo-terminal as fast as it takes them, received
// through the window into its buffer and raw text, then filed by Add. A
// timer probes the window's event loop for stalls. For comparison, a plain
// read loop (what cat does) drains the same transmission from a terminal.
//
// Then a 300 KB line without CR LF and a record of 100,000 readings go the
// same way. A 10 MB burst of records is filed in real-time mode and, for
// comparison, by one Add; 10 MB that hold no record show what the raw text
// costs in memory per byte; and Close on a silent line is timed.
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
#include <ctime>
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

void WaitForTheNextSecond() {
    for (const std::time_t start = std::time(nullptr); std::time(nullptr) == start;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The New dialog answered with OK at once, as an operator would.
class CAcceptingModal : public CModal {
public:
    int Run(QDialog&) override { return QDialog::Accepted; }
};

// Sends text to the window through the terminal and waits until the
// buffer holds all of it; then files it with Add once the line is quiet.
struct STRun {
    double m_dReceived = 0;
    double m_dFiled = 0;
    Clock::duration m_longestStall{};
    std::size_t m_nItems = 0;
};

STRun Receive(CLedgermillDlg& window, int master, const std::string& text) {
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
    const std::size_t before = window.m_pCurBatch->m_itemVector.size();
    lastTurn = Clock::now();
    const Clock::time_point start = Clock::now();
    std::thread writer([&] { WriteAll(master, text); });
    while (window.m_receive.Buffer().m_nLength < static_cast<std::int32_t>(text.size()) &&
           Clock::now() - start < std::chrono::seconds(60)) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    STRun run;
    run.m_dReceived = Seconds(Clock::now() - start);
    writer.join();
    // A record without its DATE line is filed once the line has been quiet;
    // meanwhile the raw text shows what came.
    const Clock::time_point quiet = Clock::now() + std::chrono::milliseconds(350);
    while (Clock::now() < quiet) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    run.m_longestStall = longestStall;
    const Clock::time_point filing = Clock::now();
    window.OnAdd();
    QApplication::processEvents();
    run.m_dFiled = Seconds(Clock::now() - filing);
    run.m_nItems = window.m_pCurBatch->m_itemVector.size() - before;
    return run;
}

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double ResidentMegabytes() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (statm != nullptr) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

void Pump(std::chrono::milliseconds span) {
    const Clock::time_point end = Clock::now() + span;
    while (Clock::now() < end) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// A burst in real-time mode: seconds until every record of it is filed and
// shown in a new batch.
double RealTimeSeconds(CLedgermillDlg& window, int master, const std::string& text,
                       std::size_t records) {
    window.m_realTimeBox.click();
    window.OnNew();
    const Clock::time_point start = Clock::now();
    std::thread writer([&] { WriteAll(master, text); });
    while (window.m_pCurBatch->m_itemVector.size() < records &&
           Clock::now() - start < std::chrono::seconds(120)) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    window.RefreshNow();
    QApplication::processEvents();
    const double seconds = Seconds(Clock::now() - start);
    writer.join();
    window.m_realTimeBox.click();
    return seconds;
}

// Close after a silent spell of the given length, in milliseconds.
double CloseMs(CLedgermillDlg& window, std::chrono::milliseconds silence) {
    window.OnOpen();
    Pump(silence);
    const Clock::time_point start = Clock::now();
    window.OnOpen();
    return Milliseconds(Clock::now() - start);
}

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

    const std::filesystem::path journals = std::filesystem::temp_directory_path() / "marlo-bench";
    CLedgermillDlg window(nullptr, "", journals.string());
    window.OnNew();
    window.OnOpen();
    // Wait out the reader's first idle pause so the clock measures receiving.
    const Clock::time_point settle = Clock::now() + std::chrono::milliseconds(600);
    while (Clock::now() < settle) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    const STRun transmission = Receive(window, master, text);
    std::printf("1 MB transmission (%zu bytes, %d Leeb records) through the window:\n", text.size(),
                records);
    std::printf("  received into buffer and raw text: %.3f s\n", transmission.m_dReceived);
    std::printf("  filed by Add, shown:               %.3f s (%zu items)\n", transmission.m_dFiled,
                transmission.m_nItems);
    std::printf("  longest event-loop stall receiving: %.1f ms\n",
                Milliseconds(transmission.m_longestStall));
    std::printf("  fastest offered line (256000 baud): %.1f s for the same bytes\n",
                static_cast<double>(text.size()) / 25600.0);
    std::printf("  plain read loop (cat) draining it:  %.3f s\n", PlainReadSeconds(text));

    const STRun line = Receive(window, master, std::string(300 * 1024, 'x'));
    std::printf("300 KB line without CR LF: received %.3f s, longest stall %.1f ms, Add and show %.3f s\n",
                line.m_dReceived, Milliseconds(line.m_longestStall), line.m_dFiled);

    std::string values = "NAME:P1\r\nHD:HLD\r\nIMPACT:D\r\nDIR:90\r\nVALUE:";
    for (int i = 0; i < 100000; ++i) {
        values += i > 0 ? ",450" : "450";
    }
    values += "\r\nDATE:2016-05-04 10:20:30\r\n";
    const STRun record = Receive(window, master, values);
    std::printf(
        "100,000-value record (%zu bytes): received %.3f s, longest stall %.1f ms, "
        "filed and shown %.3f s (%zu item)\n",
        values.size(), record.m_dReceived, Milliseconds(record.m_longestStall), record.m_dFiled,
        record.m_nItems);

    const int burstRecords = 95000;
    const std::string burst = Transmission(burstRecords) + "\r\n";
    WaitForTheNextSecond();
    const double realTime = RealTimeSeconds(window, master, burst, burstRecords);
    WaitForTheNextSecond();
    window.OnNew();
    const STRun added = Receive(window, master, burst);
    std::printf("10 MB burst (%zu bytes, %d records): real-time mode %.2f s (%zu items); "
                "received %.2f s + one Add %.2f s\n",
                burst.size(), burstRecords, realTime,
                window.m_batches.At(window.m_batches.Count() - 2)->m_itemVector.size(),
                added.m_dReceived, added.m_dFiled);

    // Raw text only: lines that never make a record.
    window.OnClear();
    const double residentBefore = ResidentMegabytes();
    std::string noise;
    while (noise.size() < 10u * 1024 * 1024) {
        noise += "0123456789 ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz\r\n";
    }
    Receive(window, master, noise);
    std::printf("10 MB of raw text without records: %.2f bytes resident per byte received\n",
                (ResidentMegabytes() - residentBefore) * 1048576.0 / static_cast<double>(noise.size()));
    window.OnClear();

    window.OnOpen();
    double worstClose = 0;
    std::printf("Close on a silent line:");
    for (const int silence : {100, 700, 1300, 2000, 2500}) {
        const double ms = CloseMs(window, std::chrono::milliseconds(silence));
        worstClose = std::max(worstClose, ms);
        std::printf(" %.1f", ms);
    }
    std::printf(" ms (worst %.1f ms)\n", worstClose);
    ::close(master);
    ::close(slave);
    std::filesystem::remove(link);
    std::filesystem::remove_all(journals);
    return transmission.m_nItems == static_cast<std::size_t>(records) && record.m_nItems == 1 ? 0
                                                                                              : 1;
}
