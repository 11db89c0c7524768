// The Archive Server dialog: the PostgreSQL server whose archive the lab
// shares (host, port, database, user), whether to use it at all, and a test
// of the connection. The password is no field: libpq reads it from
// ~/.pgpass or PGPASSWORD. The caller sets m_setting and m_fnTest, runs the
// dialog and, on OK, reads m_setting back.
#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <functional>
#include <memory>

#include "persistence/setting.h"

class CDlgArchiveServer : public QDialog {
public:
    // Connects to the server as set, "Connected." or why not. It runs off
    // the dialog's thread, so a server that does not answer leaves the
    // dialog working.
    using Test = std::function<QString(const STArchiveServerSetting&)>;

    explicit CDlgArchiveServer(QWidget* parent = nullptr);
    ~CDlgArchiveServer() override;

    STArchiveServerSetting m_setting;
    Test m_fnTest;

    // Shows m_setting; called when the dialog is shown.
    void OnInitDialog();
    void OnTest();
    // Stores the fields; a server in use needs its host.
    void OnOK();

    // The fields as they stand.
    STArchiveServerSetting Shown() const;

    QCheckBox m_useBox{QStringLiteral("&Use a shared PostgreSQL server"), this};
    QLineEdit m_hostEdit{this};
    QSpinBox m_portBox{this};
    QLineEdit m_databaseEdit{this};
    QLineEdit m_userEdit{this};
    QPushButton m_testButton{QStringLiteral("&Test connection"), this};
    QLabel m_testAnswer{this};

protected:
    void showEvent(QShowEvent* event) override;

private:
    void EnableFields();
    void ShowTestAnswer(const QString& answer);

    QLabel m_hostLabel{QStringLiteral("&Host:"), this};
    QLabel m_portLabel{QStringLiteral("&Port:"), this};
    QLabel m_databaseLabel{QStringLiteral("&Database:"), this};
    QLabel m_userLabel{QStringLiteral("U&ser:"), this};
    QLabel m_passwordNote{this};
    QPushButton m_cancelButton{QStringLiteral("Cancel"), this};
    QPushButton m_okButton{QStringLiteral("OK"), this};

    // How a test's answer finds the dialog, or finds it gone.
    struct STAnswerWay;
    std::shared_ptr<STAnswerWay> m_pAnswerWay;
};
