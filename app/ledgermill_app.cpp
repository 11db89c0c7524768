#include "app/ledgermill_app.h"

#include "app/ledgermill_dlg.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"

CLedgermillApp::CLedgermillApp(std::string settingsPath)
    : m_strSettingsPath(std::move(settingsPath)) {}

int CLedgermillApp::Run() {
    LoadSettings(m_strSettingsPath);
    {
        CLedgermillDlg window;
        CModal::Current().Run(window);
    }
    SaveSettings(m_strSettingsPath);
    return 0;
}
