#include "common/utf.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ReplacingCase {
    const char* m_szName;
    std::string m_strBytes;
    std::u16string m_strExpected;
};

class Utf8ToUtf16ReplacingTest : public testing::TestWithParam<ReplacingCase> {};

const ReplacingCase kReplacingCases[] = {
    {"WellFormedTextPassesUnchanged", "a\xC3\xA9\xE2\x86\x91\xF0\x9F\x98\x80",
     u"a\u00E9\u2191\U0001F600"},
    {"StrayContinuationByte", "a\x80z", u"a\uFFFDz"},
    {"BytesThatNeverOccur", "\xFF\xFE\xF5", u"\uFFFD\uFFFD\uFFFD"},
    {"OverlongSlash", "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"EncodedSurrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"AboveU10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"SequenceCutShortByTheNextCharacter", "\xE2\x86z", u"\uFFFD\uFFFDz"},
    {"SequenceCutShortByTheEnd", "z\xF0\x9F\x98", u"z\uFFFD\uFFFD\uFFFD"},
};

}  // namespace

TEST_P(Utf8ToUtf16ReplacingTest, EveryStrayByteBecomesOneReplacementCharacter) {
    EXPECT_EQ(Utf8ToUtf16Replacing(GetParam().m_strBytes), GetParam().m_strExpected);
}

INSTANTIATE_TEST_SUITE_P(Utf, Utf8ToUtf16ReplacingTest, testing::ValuesIn(kReplacingCases),
                         [](const auto& testCase) { return std::string(testCase.param.m_szName); });

TEST(Utf, ReplacingLeavesTheLosslessDecodingAsItWas) {
    const std::string bytes = "a\xE9\xC3\xA9";
    EXPECT_EQ(Utf8ToUtf16(bytes), (std::u16string{u'a', 0xDCE9, 0xE9}));
    EXPECT_EQ(Utf8ToUtf16Replacing(bytes), u"a\uFFFD\u00E9");
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16Replacing(bytes)), "a\xEF\xBF\xBD\xC3\xA9");
}
