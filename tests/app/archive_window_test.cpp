// The archive window over a SQLite archive in a temporary folder: searching,
// sorting, opening into the main window, exporting and the trend.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMenuBar>
#include <filesystem>

#include "app/archive_window.h"
#include "app/csv_options.h"
#include "app/ledgermill_dlg.h"
#include "archive/batch_archive.h"
#include "common/time_text.h"
#include "common/utf.h"
#include "list_cells.h"
#include "persistence/batch_file_reader.h"
#include "persistence/setting.h"
#include "scripted_modal.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "test_folders.h"

namespace {

struct STStored {
    const char16_t* m_station;
    const char16_t* m_operator;
    std::int64_t m_time;
    int m_method;
    int m_model;
    const char16_t* m_name;
    double m_reading;
    bool m_bUseLimit;
    double m_lower;
    double m_upper;
};

// In UTC: 2016-05-04 10:20:30, 05-05 09:00, 05-06 12:00, 05-08 08:00.
const STStored kStored[] = {
    {u"A", u"Ann", 1462357230, kTestMethodLeeb, kTestModelBatch, u"P-1%", 450.0, true, 400.0,
     500.0},
    {u"A", u"Bob", 1462438800, kTestMethodUci, kTestModelBatch, u"X_2", 300.0, false, 0.0, 0.0},
    {u"B", u"Cy", 1462536000, kTestMethodLeeb, kTestModelAverage, u"P01", 480.0, true, 420.0,
     520.0},
    {u"B", u"Al", 1462694400, kTestMethodLeeb, kTestModelBatch, u"Px2", 470.0, true, 430.0, 530.0},
};

STLedgermill BatchOf(const STStored& stored) {
    STLedgermill batch;
    batch.m_time = stored.m_time;
    batch.m_nTestMethod = stored.m_method;
    batch.m_nTestModel = stored.m_model;
    batch.m_bUseLimit = stored.m_bUseLimit;
    batch.m_dLowerLimit = stored.m_lower;
    batch.m_dUpperLimit = stored.m_upper;
    for (const double offset : {-2.0, 2.0}) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", stored.m_name);
        item->m_values = {stored.m_reading + offset, stored.m_reading - offset};
        item->UpdateStatistics();
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    return batch;
}

// The name Export gives the batch of that time.
std::string FileStem(std::int64_t time) {
    return Utf16ToUtf8(FormatTime(3, time));
}

class ArchiveWindow : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        setenv("TZ", "UTC", 1);
        tzset();
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
        std::string failure;
        auto archive = CArchiveDatabase::OpenSqlite(PathOf("archive.sqlite"), failure);
        ASSERT_NE(archive, nullptr) << failure;
        QSqlDatabase database = archive->Database();
        for (const STStored& stored : kStored) {
            ASSERT_TRUE(ArchiveBatch(database, BatchOf(stored),
                                     {stored.m_station, stored.m_operator}, failure))
                << failure;
        }
    }
    void TearDown() override {
        m_window.reset();
        m_main.reset();
        CModal::Install(nullptr);
        unsetenv("TZ");
        tzset();
        TempFolder::TearDown();
    }

    // The window over archiveFile, opening batches into a main window.
    CArchiveWindow& Open(const std::string& archiveFile = "archive.sqlite") {
        STProgramFolders folders = PortableFoldersIn(PathOf(""));
        folders.m_strArchiveFile = PathOf(archiveFile);
        m_main =
            std::make_unique<CLedgermillDlg>(nullptr, "/run/lock", PathOf("journal/"), folders);
        STArchiveWindowLinks links;
        links.m_fnOpenArchive = [path = folders.m_strArchiveFile](std::string& failure) {
            return CArchiveDatabase::OpenSqlite(path, failure);
        };
        links.m_fnShowBatch = [this](std::unique_ptr<STLedgermill> batch) {
            m_main->FileLoadedBatch(std::move(batch));
        };
        m_window = std::make_unique<CArchiveWindow>(std::move(links));
        return *m_window;
    }
    // The Time column, top to bottom.
    QStringList Keys() const {
        QStringList keys;
        for (int row = 0; row < m_window->m_model.rowCount(); ++row)
            keys << CellText(m_window->m_table, row, 0);
        return keys;
    }
    void AnswerFolder(const std::string& name) {
        std::filesystem::create_directories(PathOf(name));
        m_pModal->m_fileName = QString::fromStdString(PathOf(name));
    }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_main;
    std::unique_ptr<CArchiveWindow> m_window;
};

}  // namespace

TEST_F(ArchiveWindow, ListsTheNewestFirstInTheProgramsTexts) {
    CArchiveWindow& window = Open();
    ASSERT_EQ(Keys(), (QStringList{"2016-05-08 08:00:00", "2016-05-06 12:00:00",
                                   "2016-05-05 09:00:00", "2016-05-04 10:20:30"}));
    const QStringList newest{"2016-05-08 08:00:00",
                             "B",
                             "Al",
                             "Leeb",
                             "Batch",
                             "2",
                             "470.0",
                             "0.0",
                             QStringLiteral("430.0\u2013530.0")};
    for (int column = 0; column < CArchiveListModel::kColumns; ++column) {
        EXPECT_EQ(CellText(window.m_table, 0, column), newest[column]) << column;
    }
    EXPECT_EQ(CellText(window.m_table, 1, CArchiveListModel::kModel), "Average");
    EXPECT_EQ(CellText(window.m_table, 2, CArchiveListModel::kMethod), "UCI");
    EXPECT_EQ(CellText(window.m_table, 2, CArchiveListModel::kLimits), "not used");
    EXPECT_EQ(HeaderText(window.m_table, CArchiveListModel::kDeviation), "Std. Dev.");
    EXPECT_EQ(window.m_statusLabel.text(), "4 batches");

    // Every field has a label that reaches it and a name for assistive technology.
    for (QLabel* label : {&window.m_fromLabel, &window.m_toLabel, &window.m_methodLabel,
                          &window.m_modelLabel, &window.m_stationLabel, &window.m_nameLabel}) {
        ASSERT_NE(label->buddy(), nullptr) << label->text().toStdString();
        EXPECT_FALSE(label->buddy()->accessibleName().isEmpty()) << label->text().toStdString();
    }
    for (QWidget* control :
         std::initializer_list<QWidget*>{&window.m_table, &window.m_trend, &window.m_openButton,
                                         &window.m_exportButton, &window.m_closeButton}) {
        EXPECT_FALSE(control->accessibleName().isEmpty());
    }

    window.resize(1100, 680);
    window.show();
    QCoreApplication::processEvents();
    if (const char* folder = std::getenv("MARLO_SCREENSHOTS")) {
        window.grab().save(QString::fromUtf8(folder) + "/archive_window.png");
    }
}

TEST_F(ArchiveWindow, FiltersListAgainAndTakeTheNameTextLiterally) {
    CArchiveWindow& window = Open();
    window.m_methodBox.setCurrentIndex(window.m_methodBox.findText("UCI"));
    EXPECT_EQ(Keys(), QStringList{"2016-05-05 09:00:00"});
    window.m_methodBox.setCurrentIndex(window.m_methodBox.findText("All"));
    window.m_modelBox.setCurrentIndex(window.m_modelBox.findText("Average"));
    EXPECT_EQ(Keys(), QStringList{"2016-05-06 12:00:00"});
    window.m_modelBox.setCurrentIndex(0);

    // Whole days, both included; the lowest date is any time.
    window.m_fromEdit.setDate(QDate(2016, 5, 5));
    window.m_toEdit.setDate(QDate(2016, 5, 6));
    EXPECT_EQ(Keys(), (QStringList{"2016-05-06 12:00:00", "2016-05-05 09:00:00"}));
    EXPECT_EQ(window.m_fromEdit.text(), "2016-05-05");
    window.m_fromEdit.setDate(window.m_fromEdit.minimumDate());
    EXPECT_EQ(window.m_fromEdit.text(), "any time");
    EXPECT_EQ(Keys().size(), 3);
    window.m_toEdit.setDate(window.m_toEdit.minimumDate());

    // Typing searches after a pause, not at every key.
    window.m_nameEdit.setText("%");
    EXPECT_EQ(Keys().size(), 4);
    EXPECT_TRUE(window.m_typingPause.isActive());
    QElapsedTimer waited;
    waited.start();
    while (window.m_typingPause.isActive() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(Keys(), QStringList{"2016-05-04 10:20:30"});
    for (const auto& [text, found] :
         {std::pair{"_", "2016-05-05 09:00:00"}, std::pair{"px", "2016-05-08 08:00:00"}}) {
        window.m_nameEdit.setText(QString::fromUtf8(text));
        window.Search();
        EXPECT_EQ(Keys(), QStringList{found}) << text;
    }
    window.m_nameEdit.clear();
    window.m_stationEdit.setText(" A ");
    window.Search();
    EXPECT_EQ(Keys(), (QStringList{"2016-05-05 09:00:00", "2016-05-04 10:20:30"}));
    window.m_stationEdit.setText("C");
    window.Search();
    EXPECT_EQ(window.m_statusLabel.text(), "No archived batch matches the search.");
}

TEST_F(ArchiveWindow, AHeaderClickSortsInTheDatabaseBothWays) {
    CArchiveWindow& window = Open();
    window.m_table.sortByColumn(CArchiveListModel::kAverage, Qt::AscendingOrder);
    EXPECT_EQ(window.m_model.Filter().m_eSort, EArchiveSort::kAverage);
    EXPECT_EQ(Keys().front(), "2016-05-05 09:00:00");
    EXPECT_EQ(Keys().back(), "2016-05-06 12:00:00");
    window.m_table.sortByColumn(CArchiveListModel::kAverage, Qt::DescendingOrder);
    EXPECT_EQ(Keys().front(), "2016-05-06 12:00:00");
    window.m_table.sortByColumn(CArchiveListModel::kOperator, Qt::AscendingOrder);
    EXPECT_EQ(CellText(window.m_table, 0, CArchiveListModel::kOperator), "Al");
    EXPECT_EQ(CellText(window.m_table, 3, CArchiveListModel::kOperator), "Cy");
    // The limits do not sort: order and indicator stay.
    window.m_table.sortByColumn(CArchiveListModel::kLimits, Qt::DescendingOrder);
    EXPECT_EQ(window.m_table.horizontalHeader()->sortIndicatorSection(),
              CArchiveListModel::kOperator);
    EXPECT_EQ(CellText(window.m_table, 0, CArchiveListModel::kOperator), "Al");
    // A search keeps the sort.
    window.m_methodBox.setCurrentIndex(window.m_methodBox.findText("Leeb"));
    EXPECT_EQ(CellText(window.m_table, 0, CArchiveListModel::kOperator), "Al");
    EXPECT_EQ(Keys().size(), 3);

    STArchiveFilter filter;
    filter.m_nLimit = 2;
    window.m_model.SetFilter(filter);
    EXPECT_TRUE(window.m_model.HasMore());
    EXPECT_EQ(Keys().size(), 2);
    EXPECT_EQ(window.m_statusLabel.text(),
              "First 2 of more batches; narrow the search to list the rest.");
}

TEST_F(ArchiveWindow, OpenFilesTheBatchIntoTheMainWindowAsLoadDoes) {
    CArchiveWindow& window = Open();
    EXPECT_FALSE(window.m_openButton.isEnabled());
    window.m_table.selectRow(1);
    EXPECT_TRUE(window.m_openButton.isEnabled());
    window.OnOpenBatch();
    ASSERT_EQ(m_main->m_batches.Count(), 1);
    EXPECT_EQ(CellText(m_main->m_batchList, 0, 1), "2016-05-06 12:00:00");
    EXPECT_EQ(CellText(m_main->m_batchList, 0, 4), "2");
    ASSERT_NE(m_main->m_pCurBatch, nullptr);
    EXPECT_EQ(BatchDifference(*m_main->m_pCurBatch, BatchOf(kStored[2])), "");
    EXPECT_TRUE(m_pModal->m_messages.empty());

    // Its key open already: the row is selected and the operator told.
    window.m_table.selectRow(0);
    window.OnOpenBatch();
    window.m_table.selectRow(1);
    emit window.m_table.doubleClicked(window.m_model.index(1, 0));
    EXPECT_EQ(m_main->m_batches.Count(), 2);
    EXPECT_EQ(m_main->m_pCurBatch->m_time, kStored[2].m_time);
    EXPECT_EQ(m_pModal->m_messages, std::vector<QString>{"Marlo|Data Existed."});
}

TEST_F(ArchiveWindow, TheFileMenuOpensOneArchiveWindowOverTheProgramsArchive) {
    Open();
    QStringList texts;
    for (QAction* action : m_main->findChild<QMenuBar*>()->actions().front()->menu()->actions())
        texts << action->text();
    ASSERT_GE(texts.indexOf("&Archive..."), 1);
    EXPECT_EQ(texts[texts.indexOf("&Archive...") - 1], "Export &CSV...");
    m_main->OnArchive();
    m_main->OnArchive();
    const auto windows = m_main->findChildren<CArchiveWindow*>();
    ASSERT_EQ(windows.size(), 1);
    EXPECT_EQ(windows.front()->m_model.rowCount(), 4);
    EXPECT_TRUE(windows.front()->isVisible());
}

TEST_F(ArchiveWindow, ExportWritesBatchFilesThatLoadBackAndReplacesOnlyWhenAsked) {
    CArchiveWindow& window = Open();
    window.m_table.selectAll();
    AnswerFolder("out");
    window.OnExport(CArchiveWindow::kExportHdb);
    EXPECT_EQ(m_pModal->m_messages, std::vector<QString>{"Export Into Folder"});
    for (const STStored& stored : kStored) {
        const std::string path = PathOf("out/" + FileStem(stored.m_time) + ".hdb");
        STLedgermill loaded;
        ASSERT_EQ(LoadBatchFile(path, loaded), EBatchLoadResult::kLoaded) << path;
        // A batch file keeps the readings; the figures are worked out on loading.
        for (const auto& item : loaded.m_itemVector) item->UpdateStatistics();
        loaded.UpdateStatistics();
        EXPECT_EQ(BatchDifference(loaded, BatchOf(stored)), "") << path;
    }
    EXPECT_TRUE(window.m_statusLabel.text().startsWith("4 of 4 batches exported to "));

    // Again into the same folder, answering No: nothing is replaced.
    m_pModal->m_messages.clear();
    m_pModal->m_bYes = false;
    std::filesystem::resize_file(PathOf("out/20160504102030.hdb"), 0);
    window.OnExport(CArchiveWindow::kExportHdb);
    EXPECT_EQ(m_pModal->m_messages.size(), 5u);
    EXPECT_TRUE(
        m_pModal->m_messages[1].endsWith("20160508080000.hdb exists already.\nReplace it?"));
    EXPECT_EQ(std::filesystem::file_size(PathOf("out/20160504102030.hdb")), 0u);
    EXPECT_TRUE(window.m_statusLabel.text().endsWith(", 4 not replaced."));

    window.m_table.clearSelection();
    window.m_table.selectRow(3);
    window.OnExport(CArchiveWindow::kExportCsvPerReading);
    // CSV as File > Export CSV writes it, one file per batch, lines ending in CR LF.
    std::string expected = BatchCsv(BatchOf(kStored[0]), CsvOptionsOfLocale(true));
    for (std::size_t at = expected.find('\n'); at != std::string::npos;
         at = expected.find('\n', at + 2)) {
        expected.insert(at, 1, '\r');
    }
    EXPECT_EQ(ReadBytes("out/20160504102030.csv"), expected);
}

TEST_F(ArchiveWindow, AFailedExportSaysWhichBatchAndWhy) {
    CArchiveWindow& window = Open();
    AnswerFolder("out");
    // A folder where the file would go.
    std::filesystem::create_directories(PathOf("out/20160505090000.csv"));
    window.m_table.selectAll();
    window.OnExport(CArchiveWindow::kExportCsvPerItem);
    ASSERT_FALSE(m_pModal->m_messages.empty());
    const QString message = m_pModal->m_messages.back();
    EXPECT_TRUE(message.startsWith("Marlo|Export Failed.\nA 2016-05-05 09:00:00: "))
        << message.toStdString();
    EXPECT_TRUE(message.contains("20160505090000.csv: ")) << message.toStdString();
    EXPECT_EQ(message.count(u'\n'), 1);
    EXPECT_TRUE(window.m_statusLabel.text().startsWith("3 of 4 batches exported"));
}

TEST_F(ArchiveWindow, AnArchiveThatCannotBeReadIsSaidInTheWindow) {
    WriteBytes("broken.sqlite", std::string(4096, 'x'));
    CArchiveWindow& window = Open("broken.sqlite");
    EXPECT_EQ(window.m_model.rowCount(), 0);
    EXPECT_TRUE(window.m_statusLabel.text().startsWith("The archive cannot be opened: "))
        << window.m_statusLabel.text().toStdString();
    EXPECT_GT(window.m_statusLabel.text().size(),
              QStringLiteral("The archive cannot be opened: ").size());
    EXPECT_FALSE(window.m_exportButton.isEnabled());
    EXPECT_TRUE(window.m_trend.accessibleDescription().contains("no batches listed"));
}

TEST_F(ArchiveWindow, TheTrendJoinsTheAveragesWithTheLimitsOfTheMostRecentBatch) {
    CArchiveWindow& window = Open();
    window.m_table.sortByColumn(CArchiveListModel::kAverage, Qt::AscendingOrder);
    window.m_trend.resize(800, 240);
    const STTrendLayout layout = window.m_trend.Layout();
    ASSERT_EQ(layout.m_points.size(), 4u);
    // Left to right in time whatever the list's order.
    for (std::size_t index = 1; index < layout.m_points.size(); ++index) {
        EXPECT_LT(layout.m_points[index - 1].x(), layout.m_points[index].x());
    }
    // 430 and 530 of 2016-05-08, around its 470.
    ASSERT_TRUE(layout.m_oLowerY && layout.m_oUpperY);
    EXPECT_GT(*layout.m_oLowerY, layout.m_points.back().y());
    EXPECT_LT(*layout.m_oUpperY, layout.m_points.back().y());
    EXPECT_NEAR(*layout.m_oLowerY - *layout.m_oUpperY,
                100.0 / (layout.m_dTop - layout.m_dBottom) * layout.m_plot.height(), 1e-9);
    const QString description = window.m_trend.accessibleDescription();
    EXPECT_TRUE(description.contains(
        "430.0 and 530.0, the limits of the most recent batch, B 2016-05-08 08:00:00"))
        << description.toStdString();

    window.m_methodBox.setCurrentIndex(window.m_methodBox.findText("UCI"));
    EXPECT_FALSE(window.m_trend.Layout().m_oLowerY);
    EXPECT_TRUE(window.m_trend.accessibleDescription().contains("uses no limits"));
}
