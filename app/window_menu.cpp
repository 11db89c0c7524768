// The main window's menu bar: every command of the buttons, with the
// shortcuts a desktop user reaches for, and the batch files used recently.
#include <QFileInfo>
#include <QMenu>

#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"

void CLedgermillDlg::BuildMenuBar() {
    // Inside the window on every desktop, so that the layout below it is
    // the same everywhere.
    m_menuBar.setNativeMenuBar(false);

    QMenu* file = m_menuBar.addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&New Batch..."), QKeySequence::New, this, [this] { OnNew(); });
    QAction* load =
        file->addAction(QStringLiteral("&Load..."), QKeySequence::Open, this, [this] { OnLoad(); });
    QAction* importCapture =
        file->addAction(QStringLiteral("I&mport Capture..."), this, [this] { OnImportCapture(); });
    QAction* save =
        file->addAction(QStringLiteral("&Save..."), QKeySequence::Save, this, [this] { OnSave(); });
    QAction* report = file->addAction(QStringLiteral("&Report"), QKeySequence(Qt::CTRL | Qt::Key_R),
                                      this, [this] { OnReport(); });
    QAction* reportPdf =
        file->addAction(QStringLiteral("Report as &PDF..."), this, [this] { OnReportPdf(); });
    QAction* print = file->addAction(QStringLiteral("Pr&int..."), QKeySequence::Print, this, [this] { OnPrint(); });
    QAction* exportCsv =
        file->addAction(QStringLiteral("Export &CSV..."), this, [this] { OnExportCsv(); });
    file->addAction(QStringLiteral("&Archive..."), this, [this] { OnArchive(); });
    file->addAction(QStringLiteral("Archive Ser&ver..."), this, [this] { OnArchiveServer(); });
    m_pRecentMenu = file->addMenu(QStringLiteral("Recent &Files"));
    connect(m_pRecentMenu, &QMenu::aboutToShow, this, [this] { ShowRecentFiles(); });
    file->addSeparator();
    // Closing asks about unsaved batches as the window's close button does.
    file->addAction(QStringLiteral("&Quit"), QKeySequence(Qt::CTRL | Qt::Key_Q), this,
                    [this] { reject(); });

    QMenu* port = m_menuBar.addMenu(QStringLiteral("&Port"));
    m_pPortAction = port->addAction(QStringLiteral("&Open"), this, [this] { OnOpen(); });
    connect(port, &QMenu::aboutToShow, this, [this] {
        m_pPortAction->setText(m_receive.IsOpen() ? QStringLiteral("&Close") : QStringLiteral("&Open"));
    });
    QAction* settings =
        port->addAction(QStringLiteral("&Settings..."), this, [this] { OnSetting(); });

    QMenu* help = m_menuBar.addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&About Marlo..."), this, [this] { ShowAbout(); });

    m_longWorkActions = {load, importCapture, save, report, reportPdf, print, exportCsv, settings,
                         m_pRecentMenu->menuAction()};
}

void CLedgermillDlg::ShowRecentFiles() {
    m_pRecentMenu->clear();
    const QStringList recent = m_state.RecentFiles();
    for (int index = 0; index < recent.size(); ++index) {
        const QString& path = recent[index];
        // &1 to &8: the number is the mnemonic.
        const QString text = QStringLiteral("&%1 %2").arg(index + 1).arg(
            QFileInfo(path).fileName().replace(u'&', QStringLiteral("&&")));
        QAction* action = m_pRecentMenu->addAction(
            text, this, [this, path] { LoadFiles({PathBytes(path)}); });
        action->setToolTip(path);
        action->setStatusTip(path);
    }
    if (recent.isEmpty()) {
        m_pRecentMenu->addAction(QStringLiteral("No Recent Files"))->setEnabled(false);
        return;
    }
    m_pRecentMenu->addSeparator();
    m_pRecentMenu->addAction(QStringLiteral("&Clear Recent Files"), this,
                             [this] { m_state.ForgetRecentFiles(); });
}
