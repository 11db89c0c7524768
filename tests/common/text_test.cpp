#include "common/text.h"

#include <gtest/gtest.h>

using Pieces = std::vector<std::string>;
using WidePieces = std::vector<std::u16string>;

TEST(StringTrim, StripsExactlyTabLfCrAndSpace) {
    std::u16string wide = u"\t\r\n ab c ";
    EXPECT_EQ(StringTrim(wide), u"ab c");
    std::string spaces = "   ";
    EXPECT_EQ(StringTrim(spaces), "");
    std::u16string nbsp = u"\u00A0x\u00A0";
    EXPECT_EQ(StringTrim(nbsp), u"\u00A0x\u00A0");
    std::string verticalTab = "\vx\f";
    EXPECT_EQ(StringTrim(verticalTab), "\vx\f");
}

TEST(StringSplit, KeepsEmptyPiecesAndTrimsEach) {
    const auto split = [](std::string_view text, std::string_view separator) {
        Pieces pieces;
        StringSplit(pieces, text, separator);
        return pieces;
    };
    EXPECT_EQ(split("a;;b", ";"), (Pieces{"a", "", "b"}));
    EXPECT_EQ(split("", ";"), (Pieces{""}));
    EXPECT_EQ(split("x ; y", ";"), (Pieces{"x", "y"}));
    EXPECT_EQ(split("aaa", "aa"), (Pieces{"", "a"}));
    EXPECT_EQ(split(" a;b ", ""), (Pieces{"a;b"}));

    WidePieces wide{u"kept"};
    StringSplit(wide, u"1\r\n\r\n2", u"\r\n\r\n");
    EXPECT_EQ(wide, (WidePieces{u"kept", u"1", u"2"}));
}

TEST(StringSplitAfter, DropsTextBeforeFirstSeparatorAndKeepsSpaces) {
    const auto split = [](std::string_view text, std::string_view separator) {
        Pieces pieces;
        StringSplitAfter(pieces, text, separator);
        return pieces;
    };
    EXPECT_EQ(split("p,q,r", ","), (Pieces{"q", "r"}));
    EXPECT_EQ(split("pqr", ","), Pieces{});
    EXPECT_EQ(split("<a> <b>", "<"), (Pieces{"a> ", "b>"}));
    EXPECT_EQ(split("x,", ","), (Pieces{""}));
    EXPECT_EQ(split("a,b", ""), Pieces{});
}

TEST(StringTokenize, MergesDelimiterRunsAndKeepsBlankTokensAsEmpty) {
    const auto tokens = [](std::u16string_view text) {
        WidePieces list;
        StringTokenize(u",", list, text);
        return list;
    };
    EXPECT_EQ(tokens(u",1, ,2,,"), (WidePieces{u"1", u"", u"2"}));
    EXPECT_EQ(tokens(u",,,"), WidePieces{});
    EXPECT_EQ(tokens(u""), WidePieces{});
    EXPECT_EQ(tokens(u" 12.5 "), WidePieces{u"12.5"});
}

TEST(StringReplaceAll, NeverRescansInsertedText) {
    std::string text = "a&b";
    EXPECT_EQ(StringReplaceAll(text, "&", "&amp;"), "a&amp;b");
    std::string grows = "aaa";
    EXPECT_EQ(StringReplaceAll(grows, "a", "aa"), "aaaaaa");
    std::string untouched = "abc";
    EXPECT_EQ(StringReplaceAll(untouched, "", "x"), "abc");
    std::string large(100000, '<');
    StringReplaceAll(large, "<", "&lt;");
    EXPECT_EQ(large.size(), 400000u);
}

TEST(CaseMapping, ChangesAsciiLettersOnly) {
    std::u16string wide = u"value:é\u00FFz";
    EXPECT_EQ(StringToUpper(wide), u"VALUE:é\u00FFZ");
    EXPECT_EQ(StringToLower(wide), u"value:é\u00FFz");
    std::string narrow = "A.HDB\xC3\x89";
    EXPECT_EQ(StringToLower(narrow), "a.hdb\xC3\x89");
}
