#include "instrument/record_parser.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/comma_locale.h"

namespace {

using Fields = std::map<std::u16string, std::u16string, std::less<>>;

LedgermillItemList Parse(std::u16string text) {
    LedgermillItemList items;
    ParseRecordText(text, items);
    return items;
}

// The single record of text.
STLedgermillItem ParseOne(std::u16string text) {
    LedgermillItemList items = Parse(std::move(text));
    EXPECT_EQ(items.size(), 1u);
    return items.empty() ? STLedgermillItem() : *items.front();
}

const std::u16string kTwoRecords =
    u"NAME:P01\r\nHD:S1\r\nIMPACT:X\r\nDIR:90\r\nVALUE:448\r\nDATE:2016-05-04 10:20:30\r\n\r\n"
    u"NAME:P02\r\nHD:S1\r\nIMPACT:X\r\nDIR:270\r\nLIST:456, 460,0,452\r\nAVE:456\r\n"
    u"DATE:2016-05-04 10:21:02\r\n";

}  // namespace

TEST(ParseRecordText, WorkedExampleGivesTwoItems) {
    std::u16string text = kTwoRecords;
    LedgermillItemList items;
    ParseRecordText(text, items);
    EXPECT_EQ(text, kTwoRecords.substr(0, kTwoRecords.size() - 2));  // trimmed in place
    ASSERT_EQ(items.size(), 2u);

    const STLedgermillItem& first = *items[0];
    EXPECT_EQ(first.m_subItem, (Fields{{u"DATE", u"2016-05-04 10:20:30"},
                                       {u"DIR", u"90"},
                                       {u"HD", u"S1"},
                                       {u"IMPACT", u"X"},
                                       {u"NAME", u"P01"},
                                       {u"VALUE", u"448"}}));
    EXPECT_EQ(first.m_values, std::vector<double>{448});
    EXPECT_EQ(first.m_dMax, 448);
    EXPECT_EQ(first.m_dMin, 448);
    EXPECT_EQ(first.m_dAverage, 448);
    EXPECT_EQ(first.m_dStandardDeviation, 0);

    const STLedgermillItem& second = *items[1];
    EXPECT_EQ(second.m_subItem.begin()->first, u"AVE");
    EXPECT_EQ(second.m_subItem.at(u"VALUE"), u"456, 460,0,452");
    EXPECT_EQ(second.m_values, (std::vector<double>{456, 460, 0, 452}));
    EXPECT_EQ(second.m_dMax, 460);
    EXPECT_EQ(second.m_dMin, 452);
    EXPECT_EQ(second.m_dAverage, 456);
    EXPECT_EQ(second.m_dStandardDeviation, 4);
}

TEST(ParseRecordText, RecordSeparatorsAndEmptyRecords) {
    EXPECT_EQ(Parse(u"  \r\n\t ").size(), 1u);
    EXPECT_TRUE(Parse(u"")[0]->m_subItem.empty());
    EXPECT_EQ(Parse(u"NAME:A\r\n\r\n\r\nNAME:B").size(), 2u);
    const LedgermillItemList three = Parse(u"NAME:A\r\n\r\n\r\n\r\nNAME:B");
    ASSERT_EQ(three.size(), 3u);
    EXPECT_TRUE(three[1]->m_subItem.empty());
    EXPECT_EQ(three[1]->m_dAverage, 0.0);
    EXPECT_EQ(Parse(u"NAME:A\n\nNAME:B\r\rNAME:C").size(), 1u);
}

TEST(ParseRecordText, LinesNeedCrLfAndTheKeyValueForm) {
    EXPECT_EQ(ParseOne(u"NAME:A\nHD:B").m_subItem, (Fields{{u"NAME", u"A\nHD:B"}}));
    EXPECT_EQ(ParseOne(u"DATE: 2016-05-04 10:20:30  ").m_subItem.at(u"DATE"),
              u"2016-05-04 10:20:30");
    EXPECT_EQ(ParseOne(u"KEY:a:,b\r\nno colon\r\n\r\n").m_subItem, Fields{});
    EXPECT_EQ(ParseOne(u"KEY:,b").m_subItem, (Fields{{u"KEY", u",b"}}));
    EXPECT_EQ(ParseOne(u"KEY:").m_subItem, (Fields{{u"KEY", u""}}));
    EXPECT_EQ(ParseOne(u":X").m_subItem, (Fields{{u"", u"X"}}));
    EXPECT_EQ(ParseOne(u" hd : S1 \r\n  Time:10:20:30").m_subItem,
              (Fields{{u"HD", u"S1"}, {u"TIME", u"10:20:30"}}));
}

TEST(ParseRecordText, KeysAreOrderedByUtf16CodeUnits) {
    const STLedgermillItem item = ParseOne(u"\uFF21:1\r\n\U0001F600:2\r\n\u00E9:3\r\nZ:4");
    std::u16string order;
    for (const auto& [key, value] : item.m_subItem) {
        order += value;
    }
    EXPECT_EQ(order, u"4321");  // U+1F600 is stored as D83D DE00, below U+FF21
}

TEST(ParseRecordText, ReadingsAreCommaSeparatedNumbers) {
    EXPECT_EQ(ParseOne(u"VALUE:,,12.5,, 13 ,abc,").m_values, (std::vector<double>{12.5, 13, 0}));
    EXPECT_EQ(ParseOne(u"VALUE:1e2,-5,+7.,.5,3e,1.5x,0x1A,inf,nan").m_values,
              (std::vector<double>{100, -5, 7, 0.5, 3, 1.5, 0, 0, 0}));
    EXPECT_EQ(ParseOne(u"value:20").m_subItem, (Fields{{u"VALUE", u"20"}}));
    EXPECT_EQ(ParseOne(u"value:20").m_values, std::vector<double>{20});
    const double overflow = ParseOne(u"VALUE:1e999,-1e999,1e-999").m_values[0];
    EXPECT_TRUE(std::isinf(overflow));
}

TEST(ParseRecordText, RepeatedKeysFollowTheFormTheyArriveIn) {
    const STLedgermillItem lists = ParseOne(u"LIST:20\r\nLIST:30");
    EXPECT_EQ(lists.m_subItem.at(u"VALUE"), u"30");
    EXPECT_EQ(lists.m_values, (std::vector<double>{20, 30}));

    const STLedgermillItem values = ParseOne(u"VALUE:20\r\nVALUE:30");
    EXPECT_EQ(values.m_subItem.at(u"VALUE"), u"20");
    EXPECT_EQ(values.m_values, std::vector<double>{20});

    const STLedgermillItem mixed = ParseOne(u"LIST:20\r\nVALUE:30\r\nvalue:40\r\nNAME:A\r\nname:B");
    EXPECT_EQ(mixed.m_subItem.at(u"VALUE"), u"40");
    EXPECT_EQ(mixed.m_values, (std::vector<double>{20, 40}));
    EXPECT_EQ(mixed.m_subItem.at(u"NAME"), u"B");
}

TEST(ParseRecordText, ReadingsIgnoreCommaDecimalLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    EXPECT_EQ(ParseOne(u"VALUE:12.5,448.25").m_values, (std::vector<double>{12.5, 448.25}));
}

TEST(ParseRecordText, SurvivesHostileInput) {
    // 1 MB without any separator: one record, one line, no colon.
    EXPECT_TRUE(ParseOne(std::u16string(1 << 20, u'x')).m_subItem.empty());

    // A very long value and a reading of a million digits.
    const std::u16string digits(1 << 20, u'9');
    const STLedgermillItem longLine = ParseOne(u"VALUE:" + digits);
    EXPECT_EQ(longLine.m_subItem.at(u"VALUE").size(), digits.size());
    ASSERT_EQ(longLine.m_values.size(), 1u);
    EXPECT_TRUE(std::isinf(longLine.m_values[0]));

    // Thousands of colons: the value keeps them all.
    const std::u16string colons(5000, u':');
    EXPECT_EQ(ParseOne(u"K" + colons).m_subItem.at(u"K"), colons.substr(1));

    // Bytes 0x80-0xFF decoded to wide text, and stray surrogates.
    std::u16string high;
    for (char16_t c = 0x80; c <= 0xFF; ++c) {
        high.push_back(c);
    }
    high += u"\xDC80\xD800";
    const STLedgermillItem odd = ParseOne(u"N\u00E4me:" + high + u"\r\nvalue:\u00FF12,\u0661");
    EXPECT_EQ(odd.m_subItem.at(u"N\u00E4ME").size(), high.size());  // only ASCII is upper-cased
    EXPECT_EQ(odd.m_values, (std::vector<double>{0, 0}));

    // Many readings and many records.
    std::u16string many = u"VALUE:";
    for (int i = 0; i < 100000; ++i) {
        many += u"11,";
    }
    EXPECT_EQ(ParseOne(many).m_values.size(), 100000u);
    std::u16string records;
    for (int i = 0; i < 10000; ++i) {
        records += u"\r\n\r\n";
    }
    EXPECT_EQ(Parse(records + u"NAME:A").size(), 1u);
    EXPECT_EQ(Parse(u"NAME:A" + records + u"NAME:B").size(), 10001u);
}

// Framing received text is the framer's: the parser splits at empty lines
// only, and a repeated key keeps its first value wherever it comes.
TEST(ParseRecordText, OnlyAnEmptyLineSeparatesRecords) {
    const LedgermillItemList joined = Parse(u"NAME:A\r\nDATE:x\r\nNAME:B\r\nDATE:y");
    ASSERT_EQ(joined.size(), 1u);
    EXPECT_EQ(joined[0]->m_subItem.at(u"NAME"), u"A");
    EXPECT_EQ(joined[0]->m_subItem.at(u"DATE"), u"x");
    EXPECT_EQ(Parse(u"NAME:A\r\nDATE:x\r\n\r\nNAME:B\r\nDATE:y").size(), 2u);
}
