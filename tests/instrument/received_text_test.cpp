#include "instrument/received_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

const std::string kRecord1 = "NAME:P1\r\nIMPACT:D\r\nVALUE:448\r\nDATE:2026-12-07 10:48:06\r\n";
const std::string kRecord2 = "NAME:P2\r\nIMPACT:D\r\nVALUE:452\r\nDATE:2026-12-07 10:48:07\r\n";

// The scanner fed the bytes in chunks of the given size.
CTransmissionScanner ScanInChunks(const std::string& bytes, std::size_t chunk) {
    CTransmissionScanner scanner;
    for (std::size_t end = chunk; end < bytes.size() + chunk; end += chunk) {
        scanner.Scan(std::string_view(bytes).substr(0, std::min(end, bytes.size())));
    }
    return scanner;
}

STCutRecords Cut(std::string_view bytes, bool brokenOff = false) {
    STCutRecords cut;
    CutReceivedRecords(bytes, brokenOff, cut);
    return cut;
}

}  // namespace

TEST(TransmissionScanner, ADateLineCompletesARecordOnceItsLineHasEnded) {
    const std::string text = kRecord1 + "\r\n" + kRecord2 + "NAME:P3\r\nDATE:2026-1";
    for (std::size_t chunk : {1u, 2u, 7u, 256u}) {
        const CTransmissionScanner scanner = ScanInChunks(text, chunk);
        EXPECT_EQ(scanner.CompletedRecords(), 2u) << chunk;
        EXPECT_EQ(scanner.CompleteEnd(), kRecord1.size() + 2 + kRecord2.size()) << chunk;
        EXPECT_TRUE(scanner.LastLineIsDate());
        EXPECT_FALSE(scanner.LastLineEnded());
    }
    // Lower-case date, CR LF and trailing spaces: the last line is a whole DATE line.
    const CTransmissionScanner spaced = ScanInChunks("NAME:A\r\ndate: 2016\r\n  ", 3);
    EXPECT_TRUE(spaced.LastLineIsDate());
    EXPECT_TRUE(spaced.LastLineEnded());
    EXPECT_EQ(spaced.CompleteEnd(), std::string("NAME:A\r\ndate: 2016\r\n").size());
    // A DATE line cut before its key is whole, or ended by a lone CR, is not complete.
    EXPECT_FALSE(ScanInChunks("NAME:A\r\nDAT", 1).LastLineIsDate());
    EXPECT_FALSE(ScanInChunks("NAME:A\r\nDATE:x\r", 1).LastLineEnded());
    EXPECT_FALSE(ScanInChunks("DATE:x\r\nNAME:B", 4).LastLineIsDate());
}

TEST(TransmissionScanner, BreaksAndDroppedBytesKeepOffsetsRight) {
    CTransmissionScanner scanner;
    std::string bytes = kRecord1 + "NAME:P2\r\nDA";
    scanner.Scan(bytes);
    scanner.BreakOff();  // the port closed inside the record
    EXPECT_FALSE(scanner.LastLineIsDate());
    bytes += "TE:x\r\n";  // the next spell's first line does not join the cut one
    scanner.Scan(bytes);
    EXPECT_EQ(scanner.CompletedRecords(), 1u);
    EXPECT_EQ(scanner.CompleteEnd(), kRecord1.size());

    scanner.Drop(kRecord1.size());
    bytes.erase(0, kRecord1.size());
    bytes += kRecord2;
    scanner.Scan(bytes);
    EXPECT_EQ(scanner.CompletedRecords(), 2u);
    EXPECT_EQ(scanner.CompleteEnd(), bytes.size());
}

TEST(CutReceivedRecords, WholeRecordsAreDecodedAndFramedLikeTheParser) {
    const STCutRecords cut =
        Cut("\r\n" + kRecord1 + kRecord2 + "\r\nNAME:Zo\xC3\xAB\r\nDATE:z\r\n");
    ASSERT_EQ(cut.m_records.size(), 3u);
    EXPECT_EQ(cut.m_records[0], u"NAME:P1\r\nIMPACT:D\r\nVALUE:448\r\nDATE:2026-12-07 10:48:06");
    EXPECT_EQ(cut.m_records[2], u"NAME:Zo\u00EB\r\nDATE:z");
    EXPECT_EQ(cut.Count(), 3u);

    // Four CR LF still make an empty record; white space alone makes none.
    EXPECT_EQ(Cut("NAME:A\r\n\r\n\r\n\r\nNAME:B").m_records,
              (std::vector<std::u16string>{u"NAME:A", u"", u"NAME:B"}));
    EXPECT_EQ(Cut(" \r\n\r\n\t").Count(), 0u);
    EXPECT_EQ(Cut("\r\n\r\n" + kRecord1 + "\r\n\r\n").Count(), 1u);
}

TEST(CutReceivedRecords, NoiseInsideARecordDamagesItAndNoiseBetweenRecordsNothing) {
    // A zero byte or invalid UTF-8 anywhere in a record's lines.
    for (const std::string& noisy : {"VALUE:4\0"s
                                     "50",
                                     "VALUE:450\xFF"s, "\xC3NAME:P"s, "VALUE:\xED\xA0\x80"s}) {
        const STCutRecords cut =
            Cut(kRecord1 + "\r\nNAME:P\r\nIMPACT:D\r\n" + noisy + "\r\nDATE:x\r\n");
        EXPECT_EQ(cut.m_records.size(), 1u);
        EXPECT_EQ(cut.m_nDamaged, 1u);
    }
    // A noise line between two lines of a record is inside it.
    EXPECT_EQ(Cut("NAME:P\r\n\0\0\r\nDATE:x"s).m_nDamaged, 1u);

    // Noise on lines of its own between records, before the first and after the last.
    const STCutRecords between =
        Cut("\xFF\0\r\n"s + kRecord1 + "\0\xFE\r\n\r\n\0\r\n\r\n"s + kRecord2 + "\r\n\xFF"s);
    EXPECT_EQ(between.m_records.size(), 2u);
    EXPECT_EQ(between.m_nDamaged, 0u);
    EXPECT_EQ(between.Count(), 2u);
    EXPECT_EQ(Cut("\0\xFF\r\n \0"s).Count(), 0u);
}

TEST(CutReceivedRecords, WhatABrokenTransmissionLeftIsCountedCutOff) {
    const STCutRecords cut = Cut("NAME:P2\r\nVALUE:100746.9,987", true);
    EXPECT_TRUE(cut.m_records.empty());
    EXPECT_EQ(cut.m_nCutOff, 1u);
    EXPECT_EQ(Cut("\r\n \0"s, true).Count(), 0u);
}
