// The About box: the icon, the name and version, and OK.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

class CAboutDlg : public QDialog {
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    QLabel m_icon{this};
    QLabel m_text{QStringLiteral("Marlo, Version 2.0"), this};
    QPushButton m_okButton{QStringLiteral("OK"), this};
};
