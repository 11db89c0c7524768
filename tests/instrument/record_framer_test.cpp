// The framing model on the line conditions that once filed wrong records.
#include "instrument/record_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Record(const std::string& name, const std::string& date = "2026-12-08 11:01:04") {
    return "NAME:" + name + "\r\nHD:HV\r\nF:HV5\r\nVALUE:451\r\nDATE:" + date + "\r\n";
}

// A script of the line: bytes, and the events "|quiet", "|break" (the
// stream broke off) and "|open" (a stream begins, perhaps inside a record).
struct STCase {
    const char* m_name;
    std::vector<std::string> m_script;
    std::vector<std::u16string> m_filed;
    std::size_t m_nDamaged;
    std::size_t m_nCutOff;
};

STFramedRecords Frame(const std::vector<std::string>& script) {
    CRecordFramer framer;
    std::vector<STFramedRecord> decided;
    for (const std::string& step : script) {
        if (step == "|quiet") {
            framer.Quiet(decided);
        } else if (step == "|break") {
            framer.BreakOff(decided);
        } else if (step == "|open") {
            framer.BeginUnknown();
        } else {
            framer.Feed(step, decided);
        }
    }
    STFramedRecords records;
    for (STFramedRecord& record : decided) {
        records.Add(std::move(record));
    }
    return records;
}

std::u16string Text(const std::string& name, const std::string& date = "2026-12-08 11:01:04") {
    return u"NAME:" + std::u16string(name.begin(), name.end()) +
           u"\r\nHD:HV\r\nF:HV5\r\nVALUE:451\r\nDATE:" + std::u16string(date.begin(), date.end());
}

}  // namespace

TEST(RecordFramer, LineConditionsFileWholeRecordsOnlyAndCountTheRest) {
    const std::string p1 = Record("P1");
    // The key records begin with is learned from the second record on.
    const std::string learned = Record("L1") + Record("L2");
    const std::vector<STCase> cases{
        {"a pause inside a record, in a reading and in the DATE line",
         {"NAME:P1\r\nHD:HV\r\nF:HV5\r\nVALUE:4", "|quiet",
          "51\r\nDATE:2026-12-08 11:01:", "|quiet", "04\r\n"},
         {Text("P1")},
         0,
         0},
        {"a stream without pauses files each record at its DATE line",
         {p1.substr(0, 20), p1.substr(20) + "NAME:P2\r\nHD"},
         {Text("P1")},
         0,
         0},
        {"a last DATE line without line end, whole after a quiet",
         {"NAME:P1\r\nHD:HV\r\nF:HV5\r\nVALUE:451\r\nDATE:2026-12-08 11:01:04", "|quiet"},
         {Text("P1")},
         0,
         0},
        {"a cut last DATE line is never filed",
         {"NAME:P1\r\nDATE:2026-12-08 11:01:0", "|quiet", "|break"},
         {},
         0,
         1},
        {"lower-case date followed by CR LF and spaces",
         {"NAME:P1\r\ndate: 2016\r\n  "},
         {u"NAME:P1\r\ndate: 2016"},
         0,
         0},
        {"opened inside a record: its tail never joins the next",
         {learned, "|break", "|open",
          ":P002\r\nHD:HV\r\nF:HV5\r\nVALUE:451\r\nDATE:x\r\n" + Record("P003")},
         {Text("L1"), Text("L2"), Text("P003")},
         0,
         1},
        {"opened inside a record at a line end",
         {learned, "|break", "|open", "HD:HV\r\nF:HV5\r\nVALUE:451\r\nDATE:x\r\n" + Record("P003")},
         {Text("L1"), Text("L2"), Text("P003")},
         0,
         1},
        {"the first spell of a run opened inside a record",
         {"|open", "AME:P112\r\nHD:HV\r\nDATE:2026-12-08 11:01:04\r\n" + Record("P113")},
         {Text("P113")},
         0,
         1},
        {"a tail of digits and an empty line",
         {"01\r\nHD:HB\r\nIMPACT:D\r\nDATE:2026-12-08 11:01:04\r\n\r\n" + Record("P002")},
         {Text("P002")},
         0,
         1},
        {"a replug inside a DATE line",
         {learned + "NAME:P1\r\nDATE:2026-12-08 11:0", "|break", "|open",
          "1:04\r\n" + Record("P2")},
         {Text("L1"), Text("L2"), Text("P2")},
         0,
         2},
        {"XON before a NAME line", {p1 + "\x11" + Record("R2")}, {Text("P1")}, 1, 0},
        {"ESC inside a key, NUL before a line",
         {p1 + "NA\x1BME:R2\r\nDATE:x\r\n" + "\0"s + Record("R3")},
         {Text("P1")},
         2,
         0},
        {"a printable byte before a NAME line makes no key",
         {p1 + "?" + Record("R2") + Record("R3")},
         {Text("P1"), Text("R3")},
         0,
         1},
        {"noise lines between records harm nothing",
         {"\xFF\0\r\n"s + p1 + "\x11\x13\r\n\r\n\0\r\n"s + Record("P2") + "\r\n\xFE"},
         {Text("P1"), Text("P2")},
         0,
         0},
        {"a noise line, a lone LF or a lone CR inside a record damages it",
         {"NAME:A\r\n\0\r\nDATE:x\r\nNAME:B\nDATE:x\r\nNAME:C\rHD:x\r\nDATE:x\r\n"s},
         {},
         3,
         0},
        {"invalid UTF-8 and a C1 control damage; valid UTF-8 does not",
         {"NAME:\xC3(\r\nDATE:x\r\nNAME:\xC2\x85\r\nDATE:x\r\nNAME:Pr\xC3\xBC\r\nDATE:x\r\n"},
         {u"NAME:Pr\u00FC\r\nDATE:x"},
         2,
         0},
        {"an empty line before the DATE line cuts the record",
         {"NAME:A\r\nVALUE:1\r\n\r\n" + p1},
         {Text("P1")},
         0,
         1},
        {"the end of a stream inside a record",
         {p1 + "NAME:P2\r\nVALUE:44", "|break"},
         {Text("P1")},
         0,
         1},
        {"white space and noise alone are no record",
         {" \r\n\r\n\t\0\xFF\r\n"s, "|break"},
         {},
         0,
         0},
    };
    for (const STCase& c : cases) {
        const STFramedRecords records = Frame(c.m_script);
        EXPECT_EQ(records.m_records, c.m_filed) << c.m_name;
        EXPECT_EQ(records.m_nDamaged, c.m_nDamaged) << c.m_name;
        EXPECT_EQ(records.m_nCutOff, c.m_nCutOff) << c.m_name;
    }
}

TEST(RecordFramer, ARecordStillArrivingStaysUnsettledAndClearCutsItsRest) {
    CRecordFramer framer;
    std::vector<STFramedRecord> decided;
    const std::string p1 = Record("P1");
    framer.Feed("\x11\r\n" + p1 + "NAME:P2\r\nVAL", decided);
    ASSERT_EQ(decided.size(), 1u);
    EXPECT_EQ(decided[0].m_nBegin, 3u);
    EXPECT_EQ(decided[0].m_nEnd, 3 + p1.size());
    EXPECT_EQ(framer.SettledEnd(), 3 + p1.size());
    EXPECT_TRUE(framer.InRecord());
    framer.Quiet(decided);
    EXPECT_EQ(framer.SettledEnd(), 3 + p1.size());

    // Clear throws P2's beginning away: its rest is refused, the next is filed.
    framer.Discard();
    framer.Feed("UE:448\r\nDATE:x\r\n" + Record("P3"), decided);
    ASSERT_EQ(decided.size(), 3u);
    EXPECT_EQ(decided[1].m_eFate, ERecordFate::kCutOff);
    EXPECT_EQ(decided[2].m_text, Text("P3"));
    EXPECT_EQ(framer.SettledEnd(), framer.Offset());
}

TEST(RecordFramer, ACaptureThatBeginsInsideARecordIsToldByTheKeyItsRecordsBeginWith) {
    const STFramedRecords inside =
        FrameCapture("VALUE:451\r\nDATE:x\r\n" + Record("P2") + Record("P3"));
    EXPECT_EQ(inside.m_records, (std::vector<std::u16string>{Text("P2"), Text("P3")}));
    EXPECT_EQ(inside.m_nCutOff, 1u);
    const STFramedRecords whole = FrameCapture("\r\n" + Record("P1") + "\r\n" + Record("P2"));
    EXPECT_EQ(whole.m_records, (std::vector<std::u16string>{Text("P1"), Text("P2")}));
    EXPECT_EQ(whole.Count(), 2u);
    // A single record has no second to learn from: a whole first line begins it.
    EXPECT_EQ(FrameCapture(Record("P1")).m_records.size(), 1u);
}

TEST(RecordFramer, WholeDateAndTime) {
    for (const char* whole : {"2026-12-08 11:01:04", "2026/12/8 1:01:04", "08.12.2026 11:01:04",
                              "2026-12-08T11:01:04", "2026-12-08  11:01:04"}) {
        EXPECT_TRUE(IsWholeDateTime(whole)) << whole;
    }
    for (const char* cut : {"2026-12-08 11:01:", "2026-12-08 11:01:0", "2026-12-08 11:01",
                            "2026-12-08", "2016", "2026-12-08 11:01:04x", "", "x"}) {
        EXPECT_FALSE(IsWholeDateTime(cut)) << cut;
    }
}
