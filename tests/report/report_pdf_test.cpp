// The report as PDF, read back with poppler's tools: every row in order with
// its judgement, page breaks that lose nothing and repeat the column titles,
// page numbers, the capability figures on the last page, the paper by
// locale, NG rows in red on the rendered page, and failures reported.
#include <gtest/gtest.h>

#include <QImage>
#include <QLocale>
#include <QPdfWriter>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/number_text.h"
#include "persistence/setting.h"
#include "report/report_fixtures.h"
#include "report/report_pdf.h"
#include "support/temp_folder.h"
#include "support/text_lines.h"

namespace {

const QLocale kGermany(QLocale::German, QLocale::Germany);

std::string Output(const std::string& command) {
    std::string text;
    const std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return text;
    char chunk[65536];
    for (std::size_t n; (n = fread(chunk, 1, sizeof chunk, pipe.get())) > 0;) text.append(chunk, n);
    return text;
}

// The text of pages first..last (all when 0), in the page's layout.
std::string PdfText(const std::string& path, int first = 0, int last = 0) {
    std::string range;
    if (first > 0) range = " -f " + std::to_string(first) + " -l " + std::to_string(last);
    return Output("pdftotext -layout" + range + " '" + path + "' - 2>/dev/null");
}

int PdfPages(const std::string& path) {
    const std::string info = Output("pdfinfo '" + path + "' 2>/dev/null");
    const std::size_t label = info.find("Pages:");
    return label == std::string::npos ? -1 : std::stoi(info.substr(label + 6));
}

// Items named P1, P2, ... with averages from the list, Leeb, HLD.
std::unique_ptr<STLedgermill> LeebBatch(const std::vector<double>& averages) {
    std::vector<STItemTexts> items;
    for (std::size_t i = 0; i < averages.size(); ++i)
        items.push_back({u"P" + std::u16string(IntToText(static_cast<std::int32_t>(i + 1))), u"HLD", u"D", u"90",
                         u"2016-05-04 10:20:30", averages[i]});
    return MakeBatch(kTestMethodLeeb, items);
}

std::vector<double> Averages(std::size_t count) {
    std::vector<double> averages;
    for (std::size_t i = 0; i < count; ++i) averages.push_back(441.0 + static_cast<double>(i % 19));
    return averages;
}

// Each expected line's pattern matched by a later line than the one before.
void ExpectLinesInOrder(const std::string& text, const std::vector<std::string>& patterns) {
    std::size_t from = 0;
    for (const std::string& pattern : patterns) {
        const std::size_t after = text_lines::AfterMatchingLine(text, from, pattern);
        ASSERT_NE(after, std::string::npos) << "no line " << pattern << " after\n" << text.substr(from, 400);
        from = after;
    }
}

class ReportPdf : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        ResetDefaults(g_stSetting);
    }
    STPdfOutcome Write(const STLedgermill& batch, const std::string& name, const QLocale& locale = kGermany,
                       const STDocumentControl& control = {}) const {
        return WriteReportPdf(batch, PathOf(name), locale, control);
    }
};

TEST_F(ReportPdf, ListsEveryItemInOrderWithItsJudgementForBothMethods) {
    g_stSetting.m_strTitleOne = u"Works Laboratory";
    g_stSetting.m_strOperator = u"J. Smith";
    const auto leeb = MakeBatch(kTestMethodLeeb, {{u"P01", u"HLD", u"D", u"90", u"2016-05-04 10:20:30", 450.0},
                                                  {u"P02", u"HLD", u"DC", u"270", u"2016-05-04 10:21:00", 470.25},
                                                  {u"P03", u"HRC", u"D", u"", u"2016-05-04 10:21:30", 440.0}});
    ASSERT_EQ(Write(*leeb, "leeb.pdf").m_eResult, EPdfResult::kWritten);
    const std::string text = PdfText(PathOf("leeb.pdf"));
    ExpectLinesInOrder(text, {"Works Laboratory", "Operator: +J\\. Smith",
                              "S/N +NAME +HD SCALE +IMPACT +DIR +VALUE +DATE +NG/Pass",
                              " 1 +P01 +HLD +D +\\S+ +450\\.0 +2016-05-04 10:20:30 +Pass",
                              " 2 +P02 +HLD +DC +\\S+ +470\\.2 +2016-05-04 10:21:00 +NG",
                              " 3 +P03 +HRC +D +440\\.0 +2016-05-04 10:21:30 +Pass", "Summary",
                              "Total +Average +Min +Max +Deviation", "3 +453\\.4 +440\\.0 +470\\.2 +15\\.4"});

    const auto uci = MakeBatch(kTestMethodUci, {{u"U1", u"HV", u"10kgf", u"", u"2016-05-05 09:00:00", 430.0},
                                                {u"U2", u"HV", u"10kgf", u"", u"2016-05-05 09:01:00", 455.5}});
    ASSERT_EQ(Write(*uci, "uci.pdf").m_eResult, EPdfResult::kWritten);
    const std::string uciText = PdfText(PathOf("uci.pdf"));
    ExpectLinesInOrder(uciText, {"S/N +NAME +HD SCALE +FORCE +VALUE +DATE +NG/Pass",
                                 " 1 +U1 +HV +10kgf +430\\.0 +2016-05-05 09:00:00 +NG",
                                 " 2 +U2 +HV +10kgf +455\\.5 +2016-05-05 09:01:00 +Pass"});
    EXPECT_EQ(uciText.find("IMPACT"), std::string::npos);
}

TEST_F(ReportPdf, PageBreaksRepeatTheTitlesLoseNoRowAndNumberEveryPage) {
    const auto batch = LeebBatch(Averages(1000));
    const STPdfOutcome outcome = Write(*batch, "long.pdf");
    ASSERT_EQ(outcome.m_eResult, EPdfResult::kWritten);
    const int pages = PdfPages(PathOf("long.pdf"));
    EXPECT_EQ(pages, outcome.m_nPages);
    EXPECT_GT(pages, 10);
    EXPECT_LT(pages, 40);

    const std::string page2 = PdfText(PathOf("long.pdf"), 2, 2);
    ExpectLinesInOrder(page2, {"S/N +NAME +HD SCALE +IMPACT +DIR +VALUE +DATE +NG/Pass", " P\\d+ "});
    EXPECT_EQ(page2.find("Department:"), std::string::npos);

    std::vector<std::string> rows;
    for (int number = 1; number <= 1000; ++number)
        rows.push_back(" " + std::to_string(number) + " +P" + std::to_string(number) + " ");
    const std::string text = PdfText(PathOf("long.pdf"));
    ExpectLinesInOrder(text, rows);
    std::vector<std::string> footers;
    for (int page = 1; page <= pages; ++page)
        footers.push_back("Page " + std::to_string(page) + " of " + std::to_string(pages));
    ExpectLinesInOrder(text, footers);

    const auto small = LeebBatch(Averages(10));
    ASSERT_EQ(Write(*small, "small.pdf").m_nPages, 1);
    EXPECT_EQ(PdfPages(PathOf("small.pdf")), 1);
    EXPECT_NE(PdfText(PathOf("small.pdf")).find("Page 1 of 1"), std::string::npos);
}

TEST_F(ReportPdf, TenThousandItemsEndWithTheCapabilityOnTheLastPage) {
    const auto batch = LeebBatch(Averages(10000));
    const STPdfOutcome outcome = Write(*batch, "large.pdf");
    ASSERT_EQ(outcome.m_eResult, EPdfResult::kWritten);
    const int pages = PdfPages(PathOf("large.pdf"));
    EXPECT_EQ(pages, outcome.m_nPages);
    EXPECT_GT(pages, 100);
    const std::string last = PdfText(PathOf("large.pdf"), pages, pages);
    ExpectLinesInOrder(last, {"Process Capability", "Page " + std::to_string(pages) + " of " + std::to_string(pages)});
    ExpectLinesInOrder(PdfText(PathOf("large.pdf"), pages - 1, pages), {" 10000 +P10000 "});
}

TEST_F(ReportPdf, CapabilityFiguresOrMixedScalesOnTheLastPageOnly) {
    // Average 455, s = 10.80 against 440..460: Cp 0.31, Cpk 0.15; one NG of four.
    const auto batch = LeebBatch({445.0, 450.0, 455.0, 470.0});
    ASSERT_EQ(Write(*batch, "one.pdf").m_eResult, EPdfResult::kWritten);
    ExpectLinesInOrder(PdfText(PathOf("one.pdf")),
                       {"Process Capability", "Cp +Cpk +Pass Rate +NG Items", "0\\.31 +0\\.15 +75\\.0% +1"});

    std::vector<double> many = Averages(300);
    many.push_back(470.0);
    const auto longBatch = LeebBatch(many);
    const STPdfOutcome outcome = Write(*longBatch, "long.pdf");
    ASSERT_GT(outcome.m_nPages, 2);
    EXPECT_EQ(PdfText(PathOf("long.pdf"), 1, outcome.m_nPages - 1).find("Process Capability"), std::string::npos);
    ExpectLinesInOrder(PdfText(PathOf("long.pdf"), outcome.m_nPages, outcome.m_nPages),
                       {"Process Capability", "Pass Rate +NG Items", " 99\\.7% +1"});

    const auto mixed = MakeBatch(kTestMethodUci, {{u"U1", u"HV", u"10kgf", u"", u"", 450.0},
                                                  {u"U2", u"HRC", u"10kgf", u"", u"", 452.0},
                                                  {u"U3", u"HV", u"10kgf", u"", u"", 455.0}});
    ASSERT_EQ(Write(*mixed, "mixed.pdf").m_eResult, EPdfResult::kWritten);
    const std::string text = PdfText(PathOf("mixed.pdf"));
    ExpectLinesInOrder(text, {"Pass Rate +NG Items", "100\\.0% +0", "mixed scales: HRC, HV"});
    EXPECT_EQ(text.find("Cpk"), std::string::npos);
}

TEST_F(ReportPdf, PaperFollowsTheLocale) {
    EXPECT_EQ(ReportPageSize(QLocale(QLocale::English, QLocale::UnitedStates)), QPageSize::Letter);
    EXPECT_EQ(ReportPageSize(QLocale(QLocale::English, QLocale::UnitedKingdom)), QPageSize::A4);
    EXPECT_EQ(ReportPageSize(kGermany), QPageSize::A4);
    const auto batch = LeebBatch(Averages(3));
    ASSERT_EQ(Write(*batch, "letter.pdf", QLocale(QLocale::English, QLocale::UnitedStates)).m_eResult,
              EPdfResult::kWritten);
    ASSERT_EQ(Write(*batch, "a4.pdf").m_eResult, EPdfResult::kWritten);
    EXPECT_NE(Output("pdfinfo " + PathOf("letter.pdf")).find("612 x 792 pts (letter)"), std::string::npos);
    EXPECT_NE(Output("pdfinfo " + PathOf("a4.pdf")).find("595 x 842 pts (A4)"), std::string::npos);
}

// Where a word stands on page 1, in points, from pdftotext's boxes.
struct STWordBox {
    double m_dLeft = 0, m_dTop = 0, m_dRight = 0, m_dBottom = 0;
};

std::vector<STWordBox> WordBoxes(const std::string& path, const std::string& word) {
    const std::string html = Output("pdftotext -bbox -f 1 -l 1 '" + path + "' - 2>/dev/null");
    const auto attribute = [&html](std::size_t from, const char* name) {
        const std::size_t at = html.find(std::string(name) + "=\"", from);
        return std::stod(html.substr(at + std::string(name).size() + 2));
    };
    std::vector<STWordBox> boxes;
    const std::string ending = "\">" + word + "</word>";
    for (std::size_t end = html.find(ending); end != std::string::npos; end = html.find(ending, end + 1)) {
        const std::size_t start = html.rfind("<word ", end);
        boxes.push_back(
            {attribute(start, "xMin"), attribute(start, "yMin"), attribute(start, "xMax"), attribute(start, "yMax")});
    }
    return boxes;
}

// Pixels of the box, at 72 dpi, that are plainly red.
int RedPixels(const QImage& page, const STWordBox& box) {
    int red = 0;
    for (int y = static_cast<int>(box.m_dTop); y <= static_cast<int>(box.m_dBottom); ++y)
        for (int x = static_cast<int>(box.m_dLeft); x <= static_cast<int>(box.m_dRight); ++x) {
            const QColor pixel = page.pixelColor(x, y);
            red += pixel.red() > 150 && pixel.green() < 110 && pixel.blue() < 110;
        }
    return red;
}

TEST_F(ReportPdf, NgRowsAreRedOnThePage) {
    const auto batch = LeebBatch({450.0, 470.0, 452.0});
    ASSERT_EQ(Write(*batch, "red.pdf").m_eResult, EPdfResult::kWritten);
    ASSERT_EQ(std::system(("pdftoppm -r 72 -f 1 -l 1 -png '" + PathOf("red.pdf") + "' '" + PathOf("page") + "'").c_str()),
              0);
    const QImage page(QString::fromStdString(PathOf("page-1.png")));
    ASSERT_FALSE(page.isNull());
    const std::vector<STWordBox> ng = WordBoxes(PathOf("red.pdf"), "NG");
    const std::vector<STWordBox> pass = WordBoxes(PathOf("red.pdf"), "Pass");
    // The rows come first; "NG Items" and "Pass Rate" follow further down.
    ASSERT_GE(ng.size(), 1u);
    ASSERT_GE(pass.size(), 2u);
    EXPECT_GT(RedPixels(page, ng[0]), 0);
    EXPECT_EQ(RedPixels(page, pass[0]), 0);
    EXPECT_EQ(RedPixels(page, pass[1]), 0);
    // The NG row's value is red as well, the others' are not; the summary
    // below repeats 470.0 as its maximum.
    const std::vector<STWordBox> ngValue = WordBoxes(PathOf("red.pdf"), "470.0");
    const std::vector<STWordBox> passValue = WordBoxes(PathOf("red.pdf"), "452.0");
    ASSERT_FALSE(ngValue.empty());
    ASSERT_FALSE(passValue.empty());
    EXPECT_GT(RedPixels(page, ngValue.front()), 0);
    EXPECT_EQ(RedPixels(page, passValue.front()), 0);
}

TEST_F(ReportPdf, FailuresAndCancellingLeaveNoFileAndSayWhy) {
    const auto batch = LeebBatch(Averages(50));
    const STPdfOutcome missing = Write(*batch, "missing/out.pdf");
    EXPECT_EQ(missing.m_eResult, EPdfResult::kNotWritten);
    EXPECT_EQ(missing.m_nError, ENOENT);
    WriteBytes("file", "x");
    EXPECT_EQ(Write(*batch, "file/out.pdf").m_nError, ENOTDIR);

    WriteBytes("kept.pdf", "old");
    std::atomic<bool> cancel{true};
    std::atomic<std::uint64_t> rows{0};
    EXPECT_EQ(Write(*batch, "kept.pdf", kGermany, {&rows, &cancel}).m_eResult, EPdfResult::kCancelled);
    EXPECT_EQ(ReadBytes("kept.pdf"), "old");
    EXPECT_EQ(rows, 0u);

    cancel = false;
    ASSERT_EQ(Write(*batch, "kept.pdf", kGermany, {&rows, &cancel}).m_eResult, EPdfResult::kWritten);
    EXPECT_EQ(rows, 50u);
    EXPECT_EQ(ReadBytes("kept.pdf").substr(0, 5), "%PDF-");
    EXPECT_FALSE(std::filesystem::exists(m_root / "missing"));
}

// As the window makes it: on a worker thread, the rows counted as they go.
TEST_F(ReportPdf, WorkerThreadWritesTheSameDocument) {
    const auto batch = LeebBatch(Averages(400));
    std::atomic<std::uint64_t> rows{0};
    STPdfOutcome outcome;
    std::thread worker([&] { outcome = Write(*batch, "worker.pdf", kGermany, {&rows, nullptr}); });
    worker.join();
    ASSERT_EQ(outcome.m_eResult, EPdfResult::kWritten);
    EXPECT_EQ(rows, 400u);
    ASSERT_EQ(Write(*batch, "here.pdf").m_nPages, outcome.m_nPages);
    EXPECT_EQ(PdfText(PathOf("worker.pdf")), PdfText(PathOf("here.pdf")));
}

TEST_F(ReportPdf, ABatchWithoutItemsGivesOnePageWithAnEmptyTable) {
    const STLedgermill empty;
    const STPdfOutcome outcome = Write(empty, "empty.pdf");
    ASSERT_EQ(outcome.m_eResult, EPdfResult::kWritten);
    EXPECT_EQ(PdfPages(PathOf("empty.pdf")), 1);
    ExpectLinesInOrder(PdfText(PathOf("empty.pdf")), {"S/N", "Total", "0 +0\\.0", "Page 1 of 1"});
}

TEST_F(ReportPdf, PaintsOnAnyPagedDevice) {
    const auto batch = LeebBatch(Averages(120));
    STDocumentOutcome outcome;
    {
        QPdfWriter writer(QString::fromStdString(PathOf("device.pdf")));
        writer.setResolution(300);
        writer.setPageSize(QPageSize(QPageSize::A5));
        outcome = PaintReportDocument(writer, *batch);
    }
    ASSERT_EQ(outcome.m_eResult, EDocumentResult::kPainted);
    EXPECT_GT(outcome.m_nPages, 3);
    EXPECT_EQ(PdfPages(PathOf("device.pdf")), outcome.m_nPages);
}

}  // namespace
