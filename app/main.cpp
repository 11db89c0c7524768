#include <QApplication>

#include "app/ledgermill_app.h"
#include "persistence/setting.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marlo"));
    return CLedgermillApp(SettingsFilePath()).Run();
}
