// The main window as assistive technology sees it through Qt's accessibility
// interfaces: names, label relations, the chart's description, and commands
// given through accessible actions doing what a click does.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <functional>
#include <vector>

#include "app/ledgermill_dlg.h"
#include "persistence/setting.h"
#include "scripted_modal.h"

namespace {

QAccessibleInterface* Accessible(QObject& object) {
    return QAccessible::queryAccessibleInterface(&object);
}

QString NameOf(QObject& object) {
    return Accessible(object)->text(QAccessible::Name);
}

// Roles an operator acts on or reads a value from.
bool IsControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::EditableText:
        case QAccessible::Table:
        case QAccessible::List:
        case QAccessible::ComboBox:
        case QAccessible::ProgressBar:
        case QAccessible::Chart:
            return true;
        default:
            return false;
    }
}

// Runs the event loop until done() holds; animated presses land late.
bool Eventually(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return done();
}

class WindowAccessibility : public testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
    }
    void TearDown() override {
        CModal::Install(nullptr);
        ResetDefaults(g_stSetting);
    }

    CScriptedModal* m_pModal = nullptr;
};

}  // namespace

TEST_F(WindowAccessibility, EveryShownControlIsNamedAndTheDeletesSayWhatTheyDelete) {
    CLedgermillDlg window;
    window.show();
    QAccessibleInterface* root = Accessible(window);
    ASSERT_NE(root, nullptr);
    std::vector<QString> controls;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (child == nullptr || child->state().invisible || !IsControl(child->role())) {
            continue;
        }
        controls.push_back(child->text(QAccessible::Name));
        EXPECT_FALSE(controls.back().isEmpty())
            << "role " << child->role() << " at " << child->rect().x() << "," << child->rect().y();
    }
    // Eleven buttons, the box, six edits (the limits show with a batch), two
    // lists and the chart.
    EXPECT_GE(controls.size(), 21u);
    EXPECT_EQ(NameOf(window.m_deleteBatchButton), "Delete Batch");
    EXPECT_EQ(NameOf(window.m_deleteMeasurementButton), "Delete Measurement");
    EXPECT_EQ(NameOf(window.m_batchList), "Batches");
    EXPECT_EQ(NameOf(window.m_valuesList), "Readings");
    // The captions on screen stay as they were.
    EXPECT_EQ(window.m_deleteBatchButton.text(), "Delete");
    EXPECT_EQ(window.m_deleteMeasurementButton.text(), "Delete");
    EXPECT_EQ(Accessible(window.m_chart)->role(), QAccessible::Chart);
}

TEST_F(WindowAccessibility, EachFigureIsNamedByItsLabelWhichIsItsBuddy) {
    CLedgermillDlg window;
    const std::vector<std::pair<QLabel*, QLineEdit*>> pairs{
        {&window.m_lowerLimitLabel, &window.m_lowerLimitEdit},
        {&window.m_upperLimitLabel, &window.m_upperLimitEdit},
        {&window.m_minLabel, &window.m_minEdit},
        {&window.m_maxLabel, &window.m_maxEdit},
        {&window.m_averageLabel, &window.m_averageEdit},
        {&window.m_deviationLabel, &window.m_deviationEdit}};
    for (const auto& [label, edit] : pairs) {
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_EQ(label->buddy(), edit);
        EXPECT_EQ(NameOf(*edit) + ":", label->text());
        const auto labelledBy = Accessible(*edit)->relations(QAccessible::Label);
        ASSERT_EQ(labelledBy.size(), 1);
        EXPECT_EQ(labelledBy.front().first->object(), label);
        // No mnemonic is added to the fixed captions.
        EXPECT_FALSE(label->text().contains('&'));
    }
}

TEST_F(WindowAccessibility, TheChartDescribesWhatItShowsAsTheBatchChanges) {
    CLedgermillDlg window;
    EXPECT_EQ(window.m_chart.accessibleDescription(), "Bar chart, no bars");
    g_stSetting.m_nTestModel = kTestModelBatch;
    g_stSetting.m_nTestMethod = kTestMethodLeeb;
    g_stSetting.m_bUseLimit = true;
    g_stSetting.m_dLowerLimit = 440.0;
    g_stSetting.m_dUpperLimit = 460.0;
    window.OnNew();
    STLedgermill& batch = *window.m_pCurBatch;
    for (const double value : {450.0, 470.0}) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_values = {value};
        item->UpdateStatistics();
        batch.AddItem(std::move(item));
    }
    window.ShowBatchSelection();
    window.RefreshNow();
    const QString key = window.m_titleEdit.text().section('(', 0, 0);
    EXPECT_EQ(window.m_chart.accessibleDescription(),
              "Bar chart of the item averages of batch " + key +
                  ", 2 bars, limits 440.0 to 460.0, 1 outside the limits");
    window.m_leebList.selectRow(1);
    window.RefreshNow();
    EXPECT_TRUE(window.m_chart.accessibleDescription().endsWith(", bar 2 highlighted (470.0)"));
}

// Qt's check box offers Toggle, which never emits clicked: the window
// follows the box's state, not its clicks.
TEST_F(WindowAccessibility, TogglingRealTimeDisplaySwitchesTheModeAsAClickWould) {
    CLedgermillDlg window;
    window.show();
    QAccessibleActionInterface* actions = Accessible(window.m_realTimeBox)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));

    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(window.m_realTimeBox.isChecked());
    EXPECT_TRUE(g_stSetting.m_bShowOnline);
    EXPECT_FALSE(window.m_clearButton.isEnabled());
    EXPECT_FALSE(window.m_addButton.isEnabled());

    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(g_stSetting.m_bShowOnline);
    EXPECT_TRUE(window.m_addButton.isEnabled());
}

// A button's Press is an animated click: the command runs a moment later.
TEST_F(WindowAccessibility, PressingNewBatchThroughItsActionCreatesABatch) {
    CLedgermillDlg window;
    window.show();
    QAccessibleActionInterface* actions = Accessible(window.m_newButton)->actionInterface();
    ASSERT_NE(actions, nullptr);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(Eventually([&window] { return window.m_batchList.rowCount() == 1; }));
}
