#include "dialogs/dlg_archive_server.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "dialog_test_support.h"

using namespace std::chrono_literals;

namespace {

template <class Condition>
bool WaitFor(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!condition() && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(1ms);
    }
    return condition();
}

class ArchiveServerDialog : public testing::Test {
protected:
    void SetUp() override {
        m_pModal = &CRecordingModal::InstallNew();
        m_dialog.m_setting = {true, u"lab-db", 5433, u"lab", u"marlo"};
        m_dialog.show();
    }
    void TearDown() override { CModal::Install(nullptr); }

    CDlgArchiveServer m_dialog;
    CRecordingModal* m_pModal = nullptr;
};

}  // namespace

TEST_F(ArchiveServerDialog, ShowsTheServerAndTheBoxTurnsItsFieldsOff) {
    EXPECT_EQ(m_dialog.windowTitle(), "Archive Server");
    EXPECT_TRUE(m_dialog.m_useBox.isChecked());
    EXPECT_EQ(m_dialog.m_hostEdit.text(), "lab-db");
    EXPECT_EQ(m_dialog.m_portBox.value(), 5433);
    EXPECT_EQ(m_dialog.m_databaseEdit.text(), "lab");
    EXPECT_EQ(m_dialog.m_userEdit.text(), "marlo");
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        m_dialog.grab().save(QString::fromUtf8(folder) + "/archive_server_dialog.png");
    }
    m_dialog.m_useBox.click();
    for (QWidget* field : std::initializer_list<QWidget*>{&m_dialog.m_hostEdit, &m_dialog.m_portBox,
                                                          &m_dialog.m_databaseEdit, &m_dialog.m_userEdit,
                                                          &m_dialog.m_testButton}) {
        EXPECT_FALSE(field->isEnabled()) << field->accessibleName().toStdString();
    }
    // Off keeps the server's fields for another day.
    m_dialog.OnOK();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    const STArchiveServerSetting off{false, u"lab-db", 5433, u"lab", u"marlo"};
    EXPECT_EQ(m_dialog.m_setting, off);
}

TEST_F(ArchiveServerDialog, AServerInUseNeedsItsHostAndDatabase) {
    m_dialog.m_hostEdit.setText(QStringLiteral("  "));
    m_dialog.OnOK();
    EXPECT_NE(m_dialog.result(), QDialog::Accepted);
    ASSERT_EQ(m_pModal->m_messages.size(), 1u);
    EXPECT_EQ(m_pModal->m_messages.back(), "Archive Server|Enter the server's host and database.");
    EXPECT_EQ(m_dialog.m_setting.m_strHost, u"lab-db");
    m_dialog.m_hostEdit.setText(QStringLiteral(" db2 "));
    m_dialog.OnOK();
    EXPECT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog.m_setting.m_strHost, u"db2");
}

TEST_F(ArchiveServerDialog, TestConnectionShowsTheAnswerForTheFieldsAsTyped) {
    STArchiveServerSetting tested;
    m_dialog.m_fnTest = [&tested](const STArchiveServerSetting& setting) {
        tested = setting;
        return setting.m_nPort == 5432 ? QStringLiteral("Connected.") : QStringLiteral("connection refused");
    };
    m_dialog.m_portBox.setValue(5432);
    m_dialog.m_testButton.click();
    ASSERT_TRUE(WaitFor([this] { return m_dialog.m_testAnswer.text() == "Connected."; }))
        << m_dialog.m_testAnswer.text().toStdString();
    EXPECT_EQ(tested.m_nPort, 5432);
    EXPECT_EQ(tested.m_strHost, u"lab-db");
    EXPECT_TRUE(m_dialog.m_testButton.isEnabled());
    m_dialog.m_portBox.setValue(1);
    m_dialog.m_testButton.click();
    EXPECT_TRUE(WaitFor([this] { return m_dialog.m_testAnswer.text() == "connection refused"; }));
    // Testing stores nothing.
    EXPECT_EQ(m_dialog.m_setting.m_nPort, 5433);
}

TEST_F(ArchiveServerDialog, EveryControlIsNamedAndEveryFieldLabelled) {
    for (QWidget* control : m_dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
        EXPECT_FALSE(accessible->text(QAccessible::Name).isEmpty()) << control->metaObject()->className();
    }
    for (QWidget* field : std::initializer_list<QWidget*>{&m_dialog.m_hostEdit, &m_dialog.m_portBox,
                                                          &m_dialog.m_databaseEdit, &m_dialog.m_userEdit}) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(field);
        ASSERT_EQ(accessible->relations(QAccessible::Label).size(), 1) << field->accessibleName().toStdString();
    }
    // Tab goes down the fields to the test, then to the buttons.
    const std::vector<QWidget*> chain = TabChain(m_dialog.m_useBox);
    const auto at = [&chain](QWidget* control) { return std::find(chain.begin(), chain.end(), control); };
    EXPECT_LT(at(&m_dialog.m_hostEdit), at(&m_dialog.m_databaseEdit));
    EXPECT_LT(at(&m_dialog.m_databaseEdit), at(&m_dialog.m_userEdit));
    EXPECT_LT(at(&m_dialog.m_userEdit), at(&m_dialog.m_testButton));
    EXPECT_NE(at(&m_dialog.m_testButton), chain.end());
}
