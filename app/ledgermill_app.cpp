#include "app/ledgermill_app.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QStringList>

#include "app/batch_rescue.h"
#include "app/desktop_opener.h"
#include "app/ending_signals.h"
#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "report/automation.h"

namespace {

void TellUnreadableSettings(const STSettingsRead& settings) {
    if (settings.m_bWritable) {
        return;
    }
    CModal::Current().ShowMessage(
        nullptr, kMarloCaption,
        QStringLiteral("Settings could not be read: %1. Defaults are used.")
            .arg(QString::fromLocal8Bit(settings.m_strFailure)));
}

// The batches an abrupt end kept, told once at the next start.
void TellRescuedBatches(const std::string& folder) {
    const std::vector<std::string> names = TakeRescuedBatchNames(folder);
    if (names.empty()) {
        return;
    }
    QStringList list;
    for (const std::string& name : names) {
        list << PathText(name);
    }
    CModal::Current().ShowMessage(
        nullptr, kMarloCaption,
        QStringLiteral("Marlo was ended with unsaved batches. They were recovered to %1:\n%2")
            .arg(PathText(folder), list.join(u'\n')));
}

}  // namespace

CLedgermillApp::CLedgermillApp(STProgramFolders folders) : m_folders(std::move(folders)) {}

int CLedgermillApp::Run(const std::vector<std::string>& files) {
    const STSettingsRead settings = LoadSettings(m_folders.m_strSettingsFile);
    TellUnreadableSettings(settings);
    TellRescuedBatches(m_folders.m_strRecoveryFolder);
    // Runs that ended without removing their record are read before this
    // run begins its own.
    const std::string runsFolder = m_folders.m_strRecoveryFolder + "runs";
    const std::vector<STUncleanRun> unclean = TakeUncleanRuns(runsFolder);
    CRunRecord runRecord(runsFolder);
    // A file that could not be read is never written over.
    const auto keepSettings = [this, &settings] {
        return settings.m_bWritable && SaveSettings(m_folders.m_strSettingsFile);
    };
    // Reports are opened in the desktop's spreadsheet application.
    CDesktopOpener opener;
    InstallSpreadsheetSetup(
        STSpreadsheetSetup{[&opener](const std::u16string& fileName, const STWorkbook&) {
                               return opener.Open(Text(fileName));
                           },
                           ESheetKind::kWorksheet});
    {
        CLedgermillDlg window(nullptr, "/run/lock", CLedgermillDlg::DefaultJournalFolder(),
                              m_folders);
        window.m_fnSettingsChanged = [&window, &settings, keepSettings] {
            if (settings.m_bWritable && !keepSettings()) {
                window.ShowSettingsNotSaved();
            }
        };
        CEndingSignals endingSignals;
        QObject::connect(&endingSignals, &CEndingSignals::received, &window, [&window, keepSettings] {
            window.RescueUnsavedBatches();
            keepSettings();
            // Every event loop ends, a dialog's open over the window too.
            QCoreApplication::exit(0);
        });
        // The session is ending: what is unsaved is kept before the session
        // manager may end the program.
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                         [&window, keepSettings](QSessionManager&) {
                             window.RescueUnsavedBatches();
                             keepSettings();
                         });
        window.m_pRunRecord = &runRecord;
        window.OfferUncleanRuns(unclean);
        window.LoadFiles(files);
        CModal::Current().Run(window);
    }
    InstallSpreadsheetSetup({});
    keepSettings();
    runRecord.End();
    return 0;
}
