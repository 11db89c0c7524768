// The window with large batches, on the offscreen platform: Load and show,
// loading a batch already listed, selecting and deleting a measurement, Save
// and Report, for batches of 1,000, 10,000 and 100,000 items. Each size runs
// in a process of its own, so that its peak resident size is its own.
//
//   bench_window_scale              every size, one process each
//   bench_window_scale 100000       one size in this process
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/ledgermill_dlg.h"
#include "batch_fixture.h"
#include "common/utf.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "report/automation.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Answers every question as an operator pressing OK would; files are the
// ones the benchmark names.
class CBenchModal : public CModal {
public:
    QString m_fileName;
    int Run(QDialog&) override { return QDialog::Accepted; }
    void ShowMessage(QWidget*, const QString&, const QString& text) override {
        m_strLastMessage = text;
    }
    bool AskYesNo(QWidget*, const QString&, const QString&, bool) override { return true; }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return m_fileName;
    }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return m_fileName;
    }
    QString m_strLastMessage;
};

double PeakMegabytes() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

double ResidentMegabytes() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Milliseconds from the command to the window having shown its result.
template <class Command>
double TimedMs(CLedgermillDlg& window, Command command) {
    const Clock::time_point start = Clock::now();
    command();
    window.WaitForLongWork();
    window.RefreshNow();
    window.repaint();
    QApplication::processEvents();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Row(const char* what, double ms, const char* target) {
    std::printf("  %-36s %9.1f ms   (target %s)\n", what, ms, target);
}

int RunOneSize(std::size_t items) {
    const fs::path folder = fs::temp_directory_path() / ("marlo-window-scale-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string file = (folder / "batch.hdb").string();
    {
        const STLedgermill batch = TesterBatch(items);
        if (!SaveBatch(batch, file)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return 1;
        }
    }
    ::malloc_trim(0);  // making the file is not the window's memory
    auto modal = std::make_unique<CBenchModal>();
    CBenchModal& answers = *modal;
    CModal::Install(std::move(modal));
    ResetDefaults(g_stSetting);
    CLedgermillDlg window(nullptr, "", (folder / "journal").string());
    window.m_strResultFolder = Utf8ToUtf16((folder / "Result/").string());
    window.show();
    QApplication::processEvents();
    const double before = ResidentMegabytes();

    std::printf("%zu items (%.0f MB file):\n", items,
                static_cast<double>(fs::file_size(file)) / 1048576.0);
    answers.m_fileName = QString::fromStdString(file);
    Row("Load and show", TimedMs(window, [&] { window.OnLoad(); }), "<= 1000 ms at 100k");
    const double loaded = ResidentMegabytes();
    Row("Load of a listed batch", TimedMs(window, [&] { window.OnLoad(); }), "<= 50 ms");
    if (answers.m_strLastMessage != "Data Existed.") {
        std::fprintf(stderr, "expected Data Existed., got %s\n", qPrintable(answers.m_strLastMessage));
    }
    // Select and delete five times in the middle; the median of each.
    std::vector<double> selects;
    std::vector<double> deletes;
    for (int turn = 0; turn < 5; ++turn) {
        const int middle = static_cast<int>(items / 2) - turn;
        selects.push_back(TimedMs(window, [&] { window.m_leebList.selectRow(middle); }));
        deletes.push_back(TimedMs(window, [&] { window.OnDeleteMeasurement(); }));
    }
    Row("select a measurement (median of 5)", Median(selects), "instant");
    Row("delete a measurement (median of 5)", Median(deletes), "<= 20 ms");
    answers.m_fileName = QString::fromStdString((folder / "saved.hdb").string());
    Row("Save (fsync included)", TimedMs(window, [&] { window.OnSave(); }), "<= 1200 ms at 100k");
    const double peakBeforeReport = PeakMegabytes();
    Row("Report", TimedMs(window, [&] { window.OnReport(); }), "off the window's thread");
    std::printf("  resident: %.0f MB before Load, %.0f MB after Load and show (target <= 400 MB)\n",
                before, loaded);
    std::printf("  peak: %.0f MB through Save (target <= 500 MB), %.0f MB with Report\n",
                peakBeforeReport, PeakMegabytes());
    window.m_batches.MarkSaved(window.m_pCurBatch);
    fs::remove_all(folder);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (argc > 1) {
        QApplication application(argc, argv);
        InstallSpreadsheetSetup({});  // workbooks are written, never opened
        return RunOneSize(static_cast<std::size_t>(std::atol(argv[1])));
    }
    int failed = 0;
    for (const char* size : {"1000", "10000", "100000"}) {
        const std::string command = std::string("\"") + argv[0] + "\" " + size;
        failed |= std::system(command.c_str());
    }
    return failed == 0 ? 0 : 1;
}
