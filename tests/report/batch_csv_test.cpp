#include "report/batch_csv.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<STLedgermillItem> Item(std::u16string name, std::vector<double> readings) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem.emplace(u"NAME", std::move(name));
    item->m_subItem.emplace(u"HD", u"HLD");
    item->m_subItem.emplace(u"IMPACT", u"D");
    item->m_subItem.emplace(u"DIR", u"90");
    item->m_subItem.emplace(u"DATE", u"2016-05-04");
    item->m_values = std::move(readings);
    item->UpdateStatistics();
    return item;
}

// A Leeb batch, limits 440..460: P1 passes, P2 (470.5) is NG.
STLedgermill Batch() {
    STLedgermill batch;
    batch.m_nTestMethod = kTestMethodLeeb;
    batch.m_dLowerLimit = 440;
    batch.m_dUpperLimit = 460;
    batch.AddItem(Item(u"P1", {448, 452}));
    batch.AddItem(Item(u"P2", {470.5}));
    batch.UpdateStatistics();
    return batch;
}

std::string RowOf(const std::string& csv, std::size_t index) {
    std::size_t start = 0;
    for (std::size_t row = 0; row < index; ++row) start = csv.find('\n', start) + 1;
    return csv.substr(start, csv.find('\n', start) - start);
}

}  // namespace

TEST(BatchCsv, ItemTableCarriesAverageAndResultInTheLocalesNumberForm) {
    const std::string classic = BatchCsv(Batch(), {});
    EXPECT_EQ(RowOf(classic, 0), "S/N,NAME,HD SCALE,IMPACT,DIR,VALUE,AVERAGE,DATE,RESULT");
    EXPECT_EQ(RowOf(classic, 1), "1,P1,HLD,D,\u2191,,450.0,2016-05-04,Pass");
    EXPECT_EQ(RowOf(classic, 2), "2,P2,HLD,D,\u2191,,470.5,2016-05-04,NG");

    const std::string comma = BatchCsv(Batch(), CsvOptionsForDecimalMark(u','));
    EXPECT_EQ(RowOf(comma, 2), "2;P2;HLD;D;\u2191;;470,5;2016-05-04;NG");
    // A decimal comma under a comma delimiter stays one field.
    STCsvOptions commaInComma;
    commaInComma.m_bDecimalComma = true;
    EXPECT_EQ(RowOf(BatchCsv(Batch(), commaInComma), 2), "2,P2,HLD,D,\u2191,,\"470,5\",2016-05-04,NG");

    const STCsvOptions fullStop = CsvOptionsForDecimalMark(u'.');
    EXPECT_EQ(fullStop.m_strDelimiter, ",");
    EXPECT_FALSE(fullStop.m_bDecimalComma);
}

TEST(BatchCsv, OneRowPerReadingKeepsEveryItemAndBeginsWithTheMarkWhenAsked) {
    STLedgermill batch = Batch();
    batch.AddItem(Item(u"P3", {}));
    STCsvOptions options = CsvOptionsForDecimalMark(u',');
    options.m_bPerReading = true;
    options.m_bByteOrderMark = true;
    const std::string csv = BatchCsv(batch, options);
    EXPECT_EQ(csv,
              "\xEF\xBB\xBF"
              "S/N;READING;VALUE;HD SCALE;DATE\n"
              "1;1;448,0;HLD;2016-05-04\n"
              "1;2;452,0;HLD;2016-05-04\n"
              "2;1;470,5;HLD;2016-05-04\n"
              "3;;;HLD;2016-05-04\n");
}

TEST(BatchCsv, FieldsASpreadsheetWouldRunAsFormulasAreDisarmed) {
    struct Case {
        const char16_t* m_name;
        const char* m_field;
    };
    const Case cases[] = {
        {u"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
        {u"+1+2", "'+1+2"},
        {u"-x", "'-x"},
        {u"@SUM(A1)", "'@SUM(A1)"},
        {u"\tcmd", "'\tcmd"},
        {u"-12.5", "-12.5"},
        {u"+7", "+7"},
        {u"-1,5", "\"'-1,5\""},  // no number where the decimal mark is a full stop
        {u"a=b", "a=b"},
    };
    for (const Case& entry : cases) {
        STLedgermill batch;
        batch.AddItem(Item(entry.m_name, {450}));
        EXPECT_EQ(RowOf(BatchCsv(batch, {}), 1).substr(2, std::string(entry.m_field).size()), entry.m_field);
    }
    STLedgermill comma;
    comma.AddItem(Item(u"-1,5", {450}));
    EXPECT_EQ(RowOf(BatchCsv(comma, CsvOptionsForDecimalMark(u',')), 1).substr(0, 7), "1;-1,5;");
}

TEST(BatchCsv, DelimiterIsOneCharacterThatNoReaderMistakes) {
    for (const char* good : {",", ";", "\t", "|", "\xC2\xA7", "\xF0\x9F\x98\x80"}) EXPECT_TRUE(IsCsvDelimiter(good)) << good;
    for (const char* bad : {"", ";;", "\"", "\n", "\r", "\xFF", "\xC2"}) EXPECT_FALSE(IsCsvDelimiter(bad)) << bad;
}
