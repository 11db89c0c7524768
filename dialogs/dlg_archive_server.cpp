#include "dialogs/dlg_archive_server.h"

#include <QMetaObject>
#include <QShowEvent>
#include <mutex>
#include <thread>

#include "dialogs/dialog_units.h"
#include "dialogs/modal.h"

struct CDlgArchiveServer::STAnswerWay {
    std::mutex m_mutex;
    CDlgArchiveServer* m_pDialog = nullptr;
};

namespace {

QString Text(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

std::u16string Field(const QLineEdit& edit) {
    return edit.text().trimmed().toStdU16String();
}

}  // namespace

CDlgArchiveServer::CDlgArchiveServer(QWidget* parent)
    : QDialog(parent), m_pAnswerWay(std::make_shared<STAnswerWay>()) {
    m_pAnswerWay->m_pDialog = this;
    setWindowTitle(QStringLiteral("Archive Server"));
    setFont(DialogFont());
    const CDialogUnits units(font());
    units.SizeDialog(*this, 230, 177);
    units.Place(m_useBox, 7, 7, 216, 10);
    units.Place(m_hostLabel, 7, 26, 50, 8);
    units.Place(m_hostEdit, 60, 24, 163, 14);
    units.Place(m_portLabel, 7, 44, 50, 8);
    units.Place(m_portBox, 60, 42, 50, 14);
    units.Place(m_databaseLabel, 7, 62, 50, 8);
    units.Place(m_databaseEdit, 60, 60, 163, 14);
    units.Place(m_userLabel, 7, 80, 50, 8);
    units.Place(m_userEdit, 60, 78, 163, 14);
    units.Place(m_passwordNote, 7, 98, 216, 18);
    units.Place(m_testButton, 7, 120, 70, 14);
    units.Place(m_testAnswer, 7, 138, 216, 16);
    units.Place(m_cancelButton, 117, 158, 50, 14);
    units.Place(m_okButton, 173, 158, 50, 14);

    m_portBox.setRange(1, 65535);
    m_passwordNote.setText(
        QStringLiteral("The password is never kept here: it is read from ~/.pgpass or the PGPASSWORD variable."));
    m_passwordNote.setWordWrap(true);
    m_testAnswer.setWordWrap(true);
    m_testAnswer.setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_hostLabel.setBuddy(&m_hostEdit);
    m_portLabel.setBuddy(&m_portBox);
    m_databaseLabel.setBuddy(&m_databaseEdit);
    m_userLabel.setBuddy(&m_userEdit);
    m_useBox.setAccessibleName(QStringLiteral("Use a shared PostgreSQL server"));
    m_hostEdit.setAccessibleName(QStringLiteral("Host"));
    m_portBox.setAccessibleName(QStringLiteral("Port"));
    m_databaseEdit.setAccessibleName(QStringLiteral("Database"));
    m_userEdit.setAccessibleName(QStringLiteral("User"));
    m_passwordNote.setAccessibleName(QStringLiteral("Password"));
    m_testButton.setAccessibleName(QStringLiteral("Test connection"));
    m_testAnswer.setAccessibleName(QStringLiteral("Connection test"));
    m_cancelButton.setAccessibleName(QStringLiteral("Cancel"));
    m_okButton.setAccessibleName(QStringLiteral("OK"));
    m_okButton.setDefault(true);

    setTabOrder(&m_useBox, &m_hostEdit);
    setTabOrder(&m_hostEdit, &m_portBox);
    setTabOrder(&m_portBox, &m_databaseEdit);
    setTabOrder(&m_databaseEdit, &m_userEdit);
    setTabOrder(&m_userEdit, &m_testButton);
    setTabOrder(&m_testButton, &m_cancelButton);
    setTabOrder(&m_cancelButton, &m_okButton);
    connect(&m_useBox, &QCheckBox::toggled, this, [this] { EnableFields(); });
    connect(&m_testButton, &QPushButton::clicked, this, [this] { OnTest(); });
    connect(&m_okButton, &QPushButton::clicked, this, [this] { OnOK(); });
    connect(&m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

// A test still connecting answers nobody.
CDlgArchiveServer::~CDlgArchiveServer() {
    const std::lock_guard lock(m_pAnswerWay->m_mutex);
    m_pAnswerWay->m_pDialog = nullptr;
}

void CDlgArchiveServer::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) {
        OnInitDialog();
    }
}

void CDlgArchiveServer::OnInitDialog() {
    m_useBox.setChecked(m_setting.m_bUse);
    m_hostEdit.setText(Text(m_setting.m_strHost));
    m_portBox.setValue(m_setting.m_nPort);
    m_databaseEdit.setText(Text(m_setting.m_strDatabase));
    m_userEdit.setText(Text(m_setting.m_strUser));
    m_testAnswer.clear();
    EnableFields();
}

STArchiveServerSetting CDlgArchiveServer::Shown() const {
    STArchiveServerSetting shown;
    shown.m_bUse = m_useBox.isChecked();
    shown.m_strHost = Field(m_hostEdit);
    shown.m_nPort = m_portBox.value();
    shown.m_strDatabase = Field(m_databaseEdit);
    shown.m_strUser = Field(m_userEdit);
    return shown;
}

void CDlgArchiveServer::EnableFields() {
    const bool used = m_useBox.isChecked();
    for (QWidget* field : std::initializer_list<QWidget*>{&m_hostLabel, &m_hostEdit, &m_portLabel, &m_portBox,
                                                          &m_databaseLabel, &m_databaseEdit, &m_userLabel,
                                                          &m_userEdit, &m_testButton}) {
        field->setEnabled(used);
    }
}

void CDlgArchiveServer::OnTest() {
    if (!m_fnTest || !m_testButton.isEnabled()) {
        return;
    }
    m_testButton.setEnabled(false);
    m_testAnswer.setText(QStringLiteral("Connecting\u2026"));
    std::thread([way = m_pAnswerWay, test = m_fnTest, shown = Shown()] {
        const QString answer = test(shown);
        const std::lock_guard lock(way->m_mutex);
        if (CDlgArchiveServer* dialog = way->m_pDialog) {
            QMetaObject::invokeMethod(
                dialog, [dialog, answer] { dialog->ShowTestAnswer(answer); }, Qt::QueuedConnection);
        }
    }).detach();
}

void CDlgArchiveServer::ShowTestAnswer(const QString& answer) {
    m_testAnswer.setText(answer);
    m_testButton.setEnabled(m_useBox.isChecked());
}

void CDlgArchiveServer::OnOK() {
    const STArchiveServerSetting shown = Shown();
    if (shown.m_bUse && (shown.m_strHost.empty() || shown.m_strDatabase.empty())) {
        CModal::Current().ShowMessage(this, QStringLiteral("Archive Server"),
                                      QStringLiteral("Enter the server's host and database."));
        (shown.m_strHost.empty() ? m_hostEdit : m_databaseEdit).setFocus();
        return;
    }
    m_setting = shown;
    accept();
}
