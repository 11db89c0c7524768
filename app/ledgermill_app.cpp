#include "app/ledgermill_app.h"

#include <QApplication>

#include "app/ledgermill_dlg.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"

int CLedgermillApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlo"));
    LoadSettings();
    {
        CLedgermillDlg window;
        CModal::Current().Run(window);
    }
    SaveSettings();
    return 0;
}
