#include "app/ledgermill_app.h"

#include <QDesktopServices>
#include <QUrl>

#include "app/ledgermill_dlg.h"
#include "app/window_text.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "report/automation.h"

namespace {

// Reports are opened in the desktop's spreadsheet application.
bool OpenWithDesktop(const std::u16string& fileName, const STWorkbook&) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(Text(fileName)));
}

}  // namespace

CLedgermillApp::CLedgermillApp(std::string settingsPath)
    : m_strSettingsPath(std::move(settingsPath)) {}

int CLedgermillApp::Run() {
    LoadSettings(m_strSettingsPath);
    InstallSpreadsheetSetup(STSpreadsheetSetup{OpenWithDesktop, ESheetKind::kWorksheet});
    {
        CLedgermillDlg window;
        CModal::Current().Run(window);
    }
    SaveSettings(m_strSettingsPath);
    return 0;
}
