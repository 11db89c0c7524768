#include "app/about_dlg.h"

#include <QIcon>

#include "dialogs/dialog_units.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Marlo"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 170, 62);
    const QRect iconArea = units.ToPixels(14, 14, 20, 20);
    m_icon.setGeometry(iconArea);
    m_icon.setPixmap(QIcon(QStringLiteral(":/marlo.png")).pixmap(iconArea.size()));
    m_icon.setAccessibleName(QStringLiteral("Marlo icon"));
    units.Place(m_text, 42, 14, 114, 8);
    units.Place(m_okButton, 113, 41, 50, 14);
    m_okButton.setDefault(true);
    connect(&m_okButton, &QPushButton::clicked, this, &QDialog::accept);
}
