#include "app/ledgermill_app.h"

#include "app/desktop_opener.h"
#include "app/ledgermill_dlg.h"
#include "app/window_text.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "report/automation.h"

CLedgermillApp::CLedgermillApp(std::string settingsPath)
    : m_strSettingsPath(std::move(settingsPath)) {}

int CLedgermillApp::Run() {
    const STSettingsRead settings = LoadSettings(m_strSettingsPath);
    if (!settings.m_bWritable) {
        CModal::Current().ShowMessage(
            nullptr, kMarloCaption,
            QStringLiteral("Settings could not be read: %1. Defaults are used.")
                .arg(QString::fromLocal8Bit(settings.m_strFailure)));
    }
    // Reports are opened in the desktop's spreadsheet application.
    CDesktopOpener opener;
    InstallSpreadsheetSetup(
        STSpreadsheetSetup{[&opener](const std::u16string& fileName, const STWorkbook&) {
                               return opener.Open(Text(fileName));
                           },
                           ESheetKind::kWorksheet});
    {
        CLedgermillDlg window;
        CModal::Current().Run(window);
    }
    InstallSpreadsheetSetup({});
    // A file that could not be read is never written over.
    if (settings.m_bWritable) {
        SaveSettings(m_strSettingsPath);
    }
    return 0;
}
