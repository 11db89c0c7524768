// Results out of the window: the selected batch as CSV in the locale's own
// form, as a PDF report and printed, and the capability line under the
// statistics.
#include <gtest/gtest.h>

#include <QLocale>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <cstdio>
#include <filesystem>

#include "app/ledgermill_dlg.h"
#include "persistence/batch_file_writer.h"
#include "persistence/setting.h"
#include "scripted_modal.h"
#include "support/temp_folder.h"
#include "test_folders.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The text of a PDF file as pdftotext reads it.
std::string PdfText(const std::string& path) {
    const std::string command = "pdftotext -layout '" + path + "' - 2>/dev/null";
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string text;
    char buffer[4096];
    for (std::size_t read; pipe && (read = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;) text.append(buffer, read);
    return text;
}

struct STItemShape {
    const char16_t* m_scale;
    std::vector<double> m_readings;
};

// A Leeb batch with limits 400..500 in use.
std::unique_ptr<STLedgermill> Batch(const std::vector<STItemShape>& items) {
    auto batch = std::make_unique<STLedgermill>();
    batch->m_time = 1462357230;
    batch->m_nTestMethod = kTestMethodLeeb;
    batch->m_dLowerLimit = 400;
    batch->m_dUpperLimit = 500;
    int number = 0;
    for (const STItemShape& shape : items) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_subItem.emplace(u"NAME", ++number == 1 ? u"=cmd|' /C calc'!A0" : u"P2");
        item->m_subItem.emplace(u"HD", shape.m_scale);
        item->m_subItem.emplace(u"IMPACT", u"D");
        item->m_subItem.emplace(u"DATE", u"2016-05-04");
        item->m_values = shape.m_readings;
        item->UpdateStatistics();
        batch->AddItem(std::move(item));
    }
    batch->UpdateStatistics();
    return batch;
}

class DataOut : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
        m_pModal = InstallScriptedModal();
        m_window = std::make_unique<CLedgermillDlg>(nullptr, PathOf(""), PathOf("captures/"),
                                                    PortableFoldersIn(PathOf("")));
    }
    void TearDown() override {
        m_window.reset();
        QLocale::setDefault(QLocale::c());
        ResetDefaults(g_stSetting);
        CModal::Install(nullptr);
        TempFolder::TearDown();
    }

    // Loads the batch as the operator would; it is then selected.
    void Show(const STLedgermill& batch) {
        ASSERT_TRUE(SaveBatchFile(PathOf("batch.hdb"), batch));
        m_window->LoadFiles({PathOf("batch.hdb")});
        m_window->WaitForAllWork();
        m_window->RefreshNow();
    }
    std::string Export(const std::string& name, int fileType) {
        m_pModal->m_fileName = QString::fromStdString(PathOf(name));
        m_pModal->m_nFileType = fileType;
        m_window->OnExportCsv();
        m_window->WaitForAllWork();
        return ReadBytes(name + (name.ends_with(".csv") ? "" : ".csv"));
    }

    CScriptedModal* m_pModal = nullptr;
    std::unique_ptr<CLedgermillDlg> m_window;
};

}  // namespace

TEST_F(DataOut, ExportCsvWritesTheLocalesFormWithAMarkAndDisarmedFormulas) {
    Show(*Batch({{u"HLD", {448.5}}, {u"HLD", {520}}}));
    struct Case {
        const char* m_locale;
        const char* m_row;
    };
    const Case cases[] = {
        {"C", "2,P2,HLD,D,,,520.0,2016-05-04,NG\r\n"},
        {"en_US", "2,P2,HLD,D,,,520.0,2016-05-04,NG\r\n"},
        {"de_DE", "2;P2;HLD;D;;;520,0;2016-05-04;NG\r\n"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.m_locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(test.m_locale)));
        const std::string csv = Export(std::string("table-") + test.m_locale, 0);
        EXPECT_TRUE(csv.starts_with(kByteOrderMark));
        EXPECT_TRUE(csv.ends_with(test.m_row)) << csv;
        EXPECT_NE(csv.find("'=cmd|' /C calc'!A0"), csv.npos) << csv;
        EXPECT_EQ(m_window->m_statusBar.currentMessage().toStdString(),
                  "CSV saved as " + PathOf(std::string("table-") + test.m_locale + ".csv"));
    }
    EXPECT_EQ(m_pModal->m_fileTypes.size(), 2);
    EXPECT_TRUE(m_pModal->m_fileTypes[1].contains("one reading per row"));
}

TEST_F(DataOut, ExportCsvPerReadingAndItsFailureSaid) {
    Show(*Batch({{u"HLD", {448, 452}}, {u"HLD", {}}}));
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EXPECT_EQ(Export("readings.csv", 1), std::string(kByteOrderMark) +
                                             "S/N;READING;VALUE;HD SCALE;DATE\r\n"
                                             "1;1;448,0;HLD;2016-05-04\r\n"
                                             "1;2;452,0;HLD;2016-05-04\r\n"
                                             "2;;;HLD;2016-05-04\r\n");

    Export("missing/table.csv", 0);
    ASSERT_FALSE(m_pModal->m_messages.empty());
    EXPECT_TRUE(m_pModal->m_messages.back().startsWith("Marlo|Export Failed.\n" +
                                                       QString::fromStdString(PathOf("missing/table.csv")) + ": "))
        << m_pModal->m_messages.back().toStdString();
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));

    // Cancelling the dialog writes nothing.
    m_pModal->m_fileName.clear();
    const std::size_t asked = m_pModal->m_messages.size();
    m_window->OnExportCsv();
    EXPECT_EQ(m_pModal->m_messages.size(), asked + 1);  // only the dialog's title
}

TEST_F(DataOut, CapabilityLineFollowsTheBatchOnDisplay) {
    // Averages 420, 430, 440 and 5 (out of the figures, and NG): Cp 1.67, Cpk 1.00.
    Show(*Batch({{u"HV", {420}}, {u"HV", {430}}, {u"HV", {440}}, {u"HV", {5}}}));
    EXPECT_EQ(m_window->m_capabilityLabel.text(), "Cp: 1.67   Cpk: 1.00   Pass rate: 75.0%   NG: 1");

    m_window->m_leebList.selectRow(3);
    m_window->OnDeleteMeasurement();
    m_window->RefreshNow();
    EXPECT_EQ(m_window->m_capabilityLabel.text(), "Cp: 1.67   Cpk: 1.00   Pass rate: 100.0%   NG: 0");

    m_window->OnDeleteBatch();
    m_window->RefreshNow();
    EXPECT_EQ(m_window->m_capabilityLabel.text(), "");

    Show(*Batch({{u"HV", {420}}, {u"HRC", {43}}}));
    EXPECT_EQ(m_window->m_capabilityLabel.text(), "mixed scales: HRC, HV   Pass rate: 50.0%   NG: 1");
}

TEST_F(DataOut, ReportAsPdfIsOfferedInTheReportFolderAndItsFailureSaid) {
    Show(*Batch({{u"HLD", {448.5}}, {u"HLD", {520}}}));
    m_pModal->m_fileName = QString::fromStdString(PathOf("report"));
    m_window->OnReportPdf();
    m_window->WaitForAllWork();
    EXPECT_EQ(m_pModal->m_folder.toStdString(), PathOf("Result/20160504102030.pdf"));
    const std::string text = PdfText(PathOf("report.pdf"));
    EXPECT_NE(text.find("520.0"), text.npos) << text;
    EXPECT_NE(text.find("NG"), text.npos) << text;
    EXPECT_NE(text.find("Page 1 of 1"), text.npos) << text;
    EXPECT_EQ(m_window->m_statusBar.currentMessage().toStdString(), "Report saved as " + PathOf("report.pdf"));

    m_pModal->m_fileName = QString::fromStdString(PathOf("missing/report.pdf"));
    m_window->OnReportPdf();
    m_window->WaitForAllWork();
    EXPECT_TRUE(m_pModal->m_messages.back().startsWith(
        "Marlo|Report Failed.\n" + QString::fromStdString(PathOf("missing/report.pdf")) + ": "))
        << m_pModal->m_messages.back().toStdString();
}

TEST_F(DataOut, PrintPaintsThePreviewOnTheLocalesPaperAndAnEmptyBatchHasNoData) {
    Show(*Batch({{u"HLD", {448.5}}, {u"HLD", {520}}}));
    for (const char* locale : {"de_DE", "en_US"}) {
        SCOPED_TRACE(locale);
        QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
        const std::string output = PathOf(std::string("printed-") + locale + ".pdf");
        QPageSize::PageSizeId paper = QPageSize::Custom;
        m_pModal->m_answer = [&](QDialog& dialog) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(&dialog);
            EXPECT_NE(preview, nullptr) << dialog.metaObject()->className();
            if (preview == nullptr) return int(QDialog::Rejected);
            QPrinter* printer = preview->printer();
            paper = printer->pageLayout().pageSize().id();
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(output));
            emit preview->paintRequested(printer);
            return int(QDialog::Accepted);
        };
        m_window->OnPrint();
        EXPECT_EQ(paper, std::string(locale) == "en_US" ? QPageSize::Letter : QPageSize::A4);
        const std::string text = PdfText(output);
        EXPECT_NE(text.find("448.5"), text.npos) << text;
        EXPECT_NE(text.find("Page 1 of 1"), text.npos) << text;
    }

    m_pModal->m_answer = [](QDialog&) { return int(QDialog::Accepted); };
    m_window->OnNew();
    const std::size_t asked = m_pModal->m_messages.size();
    m_window->OnPrint();
    m_window->OnReportPdf();
    ASSERT_EQ(m_pModal->m_messages.size(), asked + 2);
    EXPECT_EQ(m_pModal->m_messages.back(), "Marlo|No Data.");
}
