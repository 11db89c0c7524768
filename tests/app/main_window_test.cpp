// The main window through its real controls, with every modal question
// answered by the test.
#include <gtest/gtest.h>

#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <limits>
#include <thread>

#include "app/ledgermill_dlg.h"
#include "dialogs/dlg_limit.h"
#include "dialogs/modal.h"
#include "persistence/setting.h"
#include "list_cells.h"
#include "scripted_modal.h"

namespace {

class MainWindow : public testing::Test {
protected:
    void SetUp() override {
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
    }
    void TearDown() override { CModal::Install(nullptr); }

    // A batch as if New had made it, selected and on display.
    STLedgermill& NewBatch(std::int32_t model, std::int32_t method) {
        g_stSetting.m_nTestModel = model;
        g_stSetting.m_nTestMethod = method;
        m_window.OnNew();
        return *m_window.m_pCurBatch;
    }

    static void WaitForTheNextSecond() {
        for (const std::time_t start = std::time(nullptr); std::time(nullptr) == start;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    CScriptedModal* m_pModal = nullptr;
    CLedgermillDlg m_window;
};

std::unique_ptr<STLedgermillItem> Item(const char16_t* name, std::vector<double> values) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem[u"NAME"] = name;
    item->m_subItem[u"IMPACT"] = u"D";
    item->m_subItem[u"DIR"] = u"90";
    item->m_values = std::move(values);
    item->UpdateStatistics();
    return item;
}

}  // namespace

TEST_F(MainWindow, StartsWithTheReceiveSideEmptyAndTheDataViewCleared) {
    EXPECT_EQ(m_window.windowTitle(), "Marlo");
    EXPECT_TRUE(m_window.m_rawText.toPlainText().isEmpty());
    EXPECT_EQ(m_window.m_openButton.text(), "Open");
    EXPECT_FALSE(m_window.m_leebList.isHidden());
    // The columns the lists always had, then the item's average and judgement.
    EXPECT_EQ(m_window.m_leebList.columnCount(), 9);
    EXPECT_EQ(HeaderText(m_window.m_leebList, 3), "IMPACT");
    EXPECT_EQ(HeaderText(m_window.m_leebList, 7), "AVERAGE");
    EXPECT_EQ(HeaderText(m_window.m_uciList, 7), "RESULT");
    EXPECT_TRUE(m_window.m_uciList.isHidden());
    EXPECT_TRUE(m_window.m_valuesList.isHidden());
    for (const QLineEdit* edit : {&m_window.m_minEdit, &m_window.m_maxEdit, &m_window.m_averageEdit,
                                  &m_window.m_deviationEdit}) {
        EXPECT_EQ(edit->text(), "0.0");
    }
    EXPECT_TRUE(m_window.m_lowerLimitEdit.isHidden());
    EXPECT_TRUE(m_window.m_upperLimitLabel.isHidden());
    EXPECT_EQ(m_window.m_chart.m_dLimitHigh, 3000.0);
    EXPECT_TRUE(m_window.m_chartPlaceholder.isHidden());
    EXPECT_EQ(m_window.m_chart.geometry().topLeft(),
              m_window.m_chartPlaceholder.geometry().topLeft());
    EXPECT_TRUE(m_window.m_clearButton.isEnabled());
}

TEST(MainWindowSettings, RealTimeDisplaySavedAsSetDisablesClearAndAdd) {
    ResetDefaults(g_stSetting);
    g_stSetting.m_bShowOnline = true;
    CLedgermillDlg window;
    EXPECT_TRUE(window.m_realTimeBox.isChecked());
    EXPECT_FALSE(window.m_clearButton.isEnabled());
    EXPECT_FALSE(window.m_addButton.isEnabled());
    window.m_realTimeBox.click();
    EXPECT_FALSE(g_stSetting.m_bShowOnline);
    EXPECT_TRUE(window.m_addButton.isEnabled());
    ResetDefaults(g_stSetting);
}

TEST_F(MainWindow, NewTwiceInOneSecondMakesOneBatch) {
    WaitForTheNextSecond();  // both presses fall into one second
    m_window.OnNew();
    m_window.OnNew();
    EXPECT_EQ(m_window.m_batchList.rowCount(), 1);
    EXPECT_EQ(m_window.m_batches.Count(), 1);
    ASSERT_NE(m_window.m_pCurBatch, nullptr);
    EXPECT_EQ(CellText(m_window.m_batchList, 0, 4), "0");
    EXPECT_TRUE(m_window.m_titleEdit.text().endsWith("(Batch)(UCI)"));
    EXPECT_FALSE(m_window.m_lowerLimitEdit.isHidden());
}

TEST_F(MainWindow, ABatchShowsRowsStatisticsAndChartAndHighlightFollowsTheSelection) {
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    batch.AddItem(Item(u"P01", {448, 452}));
    batch.AddItem(Item(u"P02", {470}));
    batch.AddItem(Item(u"P03", {430}));
    batch.UpdateStatistics();
    m_window.ShowBatchSelection();
    EXPECT_EQ(m_window.m_leebList.rowCount(), 3);
    EXPECT_EQ(CellText(m_window.m_leebList, 1, 1), "P02");
    EXPECT_EQ(CellText(m_window.m_leebList, 0, 4), QString::fromUtf8("\u2191"));
    EXPECT_EQ(m_window.m_maxEdit.text(), "470.0");
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 3);
    m_window.m_leebList.selectRow(2);
    EXPECT_EQ(m_window.m_chart.m_nHighlight, 2);
    EXPECT_EQ(m_window.m_valuesList.rowCount(), 1);

    m_window.m_leebList.selectRow(0);
    m_window.OnDeleteMeasurement();
    EXPECT_EQ(batch.m_itemVector.size(), 2u);
    EXPECT_EQ(CellText(m_window.m_leebList, 0, 0), "1");
    EXPECT_EQ(CellText(m_window.m_leebList, 0, 1), "P02");
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 2);
    EXPECT_EQ(CellText(m_window.m_batchList, 0, 4), "2");
    EXPECT_EQ(m_window.m_averageEdit.text(), "450.0");
}

TEST_F(MainWindow, AnAverageBatchShowsTheNarrowListAndTheReadingsOfTheSelectedRecord) {
    STLedgermill& batch = NewBatch(kTestModelAverage, kTestMethodLeeb);
    batch.AddItem(Item(u"A1", {440, 450, 460}));
    m_window.ShowBatchSelection();
    EXPECT_EQ(m_window.m_leebList.geometry(), m_window.m_rcListNarrow);
    EXPECT_FALSE(m_window.m_valuesList.isHidden());
    EXPECT_EQ(m_window.m_averageEdit.text(), "0.0");
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 0);
    m_window.m_leebList.selectRow(0);
    EXPECT_EQ(m_window.m_valuesList.rowCount(), 3);
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 3);
    EXPECT_EQ(m_window.m_averageEdit.text(), "450.0");
    m_window.m_valuesList.selectRow(1);
    EXPECT_EQ(m_window.m_chart.m_nHighlight, 1);
    m_window.OnDeleteMeasurement();
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 0);
    EXPECT_EQ(m_window.m_valuesList.rowCount(), 0);
    EXPECT_EQ(m_window.m_averageEdit.text(), "0.0");
}

TEST_F(MainWindow, ListsShowWholeDatesAndSerialsAndJudgeEachRowInRed) {
    const QFontMetrics metrics = m_window.m_batchList.fontMetrics();
    const int date = metrics.horizontalAdvance("2026-12-07 10:48:06");
    const int serial = metrics.horizontalAdvance("999999");
    EXPECT_GT(m_window.m_batchList.columnWidth(1), date);
    EXPECT_GE(m_window.m_batchList.columnWidth(1), 120);
    EXPECT_GT(m_window.m_leebList.columnWidth(6), date);
    EXPECT_GT(m_window.m_uciList.columnWidth(5), date);
    for (const CReportListView* list : {&m_window.m_batchList, &m_window.m_leebList,
                                     &m_window.m_uciList, &m_window.m_valuesList}) {
        EXPECT_GT(list->columnWidth(0), serial);
    }
    EXPECT_EQ(m_window.m_leebList.columnWidth(5), 80);  // as wide as it always was

    g_stSetting.m_dLowerLimit = 440;
    g_stSetting.m_dUpperLimit = 460;
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    batch.AddItem(Item(u"P01", {470.25}));
    batch.AddItem(Item(u"P02", {450}));
    batch.m_itemVector[0]->m_subItem[u"VALUE"] = u"470.25,470.25,470.25,470.25";
    m_window.ShowBatchSelection();
    const CReportListView& list = m_window.m_leebList;
    EXPECT_EQ(CellToolTip(list, 0, 5), "470.25,470.25,470.25,470.25");  // whole, if clipped
    EXPECT_EQ(CellText(list, 0, 7), "470.2");  // the rounding of every one-decimal text
    EXPECT_EQ(CellText(list, 0, 8), "NG");
    EXPECT_EQ(CellColour(list, 0, 1), QColor(255, 0, 0));
    EXPECT_EQ(CellText(list, 1, 8), "Pass");
    EXPECT_NE(CellColour(list, 1, 1), QColor(255, 0, 0));

    // New limits judge the rows anew.
    m_pModal->m_answer = [](QDialog& dialog) {
        dynamic_cast<CDlgLimit&>(dialog).m_dUpperLimit = 480;
        return int(QDialog::Accepted);
    };
    m_window.OnLimit();
    EXPECT_EQ(CellText(list, 0, 8), "Pass");
    EXPECT_NE(CellColour(list, 0, 1), QColor(255, 0, 0));
}

TEST_F(MainWindow, AnItemWithoutAValueKeepsItsPlaceInTheChart) {
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    batch.AddItem(Item(u"P01", {450}));
    batch.AddItem(Item(u"P02", {460}));
    batch.AddItem(Item(u"P03", {470}));
    batch.m_itemVector[1]->m_dAverage = std::numeric_limits<double>::quiet_NaN();  // "nan" in a file
    m_window.ShowBatchSelection();
    EXPECT_EQ(m_window.m_chart.GetDataCount(), 3);
    m_window.m_leebList.selectRow(2);
    EXPECT_EQ(m_window.m_chart.m_nHighlight, 2);
}

TEST_F(MainWindow, LimitWithLimitsOffHidesTheControlsButKeepsTheTexts) {
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    m_pModal->m_answer = [](QDialog& dialog) {
        auto& limit = dynamic_cast<CDlgLimit&>(dialog);
        limit.m_dLowerLimit = 400;
        limit.m_dUpperLimit = 500;
        limit.m_bUseLimit = false;
        return int(QDialog::Accepted);
    };
    m_window.OnLimit();
    EXPECT_FALSE(batch.m_bUseLimit);
    EXPECT_TRUE(m_window.m_lowerLimitEdit.isHidden());
    EXPECT_EQ(m_window.m_lowerLimitEdit.text(), "400.0");
    EXPECT_EQ(m_window.m_chart.m_dLimitLow + m_window.m_chart.m_dLimitHigh, 0.0);
    EXPECT_EQ(g_stSetting.m_dUpperLimit, 500.0);  // the next New offers these
}

TEST_F(MainWindow, DeletingTheBatchOnDisplayClearsTheViewAndRenumbers) {
    NewBatch(kTestModelBatch, kTestMethodLeeb);
    WaitForTheNextSecond();
    NewBatch(kTestModelBatch, kTestMethodUci);
    m_window.m_batchList.selectRow(0);
    m_window.OnDeleteBatch();
    EXPECT_EQ(m_window.m_batchList.rowCount(), 1);
    EXPECT_EQ(CellText(m_window.m_batchList, 0, 0), "1");
    EXPECT_EQ(m_window.m_batches.Count(), 1);
    // No row is selected afterwards: a second press deletes nothing.
    EXPECT_TRUE(!HasSelection(m_window.m_batchList));
    EXPECT_EQ(m_window.m_pCurBatch, nullptr);
    m_window.OnDeleteBatch();
    EXPECT_EQ(m_window.m_batches.Count(), 1);
    EXPECT_TRUE(m_pModal->m_messages.empty());
}

TEST_F(MainWindow, ABatchWithUnsavedChangesIsDeletedOnlyAfterAYes) {
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    m_window.m_batches.MarkUnsaved(&batch);
    m_pModal->m_bYes = false;
    m_window.OnDeleteBatch();
    ASSERT_EQ(m_pModal->m_messages,
              std::vector<QString>{"Marlo|The batch has not been saved. Delete anyway?"});
    EXPECT_EQ(m_window.m_batches.Count(), 1);
    EXPECT_TRUE(m_window.m_batches.IsUnsaved(&batch));  // still marked after No
    EXPECT_EQ(m_window.m_pCurBatch, &batch);
    m_pModal->m_bYes = true;
    m_window.OnDeleteBatch();
    EXPECT_EQ(m_window.m_batches.Count(), 0);
    EXPECT_FALSE(m_window.m_batches.AnyUnsaved());
}

TEST_F(MainWindow, DeletingAMeasurementLeavesNoRowSelected) {
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    for (const char16_t* name : {u"P01", u"P02", u"P03"}) {
        batch.AddItem(Item(name, {450}));
    }
    batch.UpdateStatistics();
    m_window.ShowBatchSelection();
    m_window.m_leebList.selectRow(1);
    m_window.OnDeleteMeasurement();
    EXPECT_TRUE(!HasSelection(m_window.m_leebList));
    EXPECT_EQ(m_window.m_chart.m_nHighlight, -1);
    EXPECT_EQ(m_window.m_valuesList.rowCount(), 0);
    m_window.OnDeleteMeasurement();
    EXPECT_EQ(batch.m_itemVector.size(), 2u);
}

TEST_F(MainWindow, PictureOfALeebBatchOfTwelveItemsWithLimits) {
    g_stSetting.m_dLowerLimit = 440;
    g_stSetting.m_dUpperLimit = 465;
    STLedgermill& batch = NewBatch(kTestModelBatch, kTestMethodLeeb);
    const std::vector<double> averages{452, 447.5, 461, 438, 455.5, 449,
                                       470, 443,   458, 451, 9,     446};
    for (std::size_t i = 0; i < averages.size(); ++i) {
        auto item = Item(u"P", {averages[i]});
        item->m_subItem[u"NAME"] = u"P0" + std::u16string(1, static_cast<char16_t>(u'a' + i));
        item->m_subItem[u"HD"] = u"HLD";
        item->m_subItem[u"VALUE"] = u"452";
        item->m_subItem[u"DATE"] = u"2016-05-04 10:20:30";
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    m_window.ShowBatchSelection();
    m_window.m_leebList.selectRow(3);
    EXPECT_EQ(m_window.m_chart.m_nHighlight, 3);
    EXPECT_FALSE(m_window.m_lowerLimitEdit.isHidden());
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        m_window.grab().save(QString::fromUtf8(folder) + "/main_window.png");
    }
}
