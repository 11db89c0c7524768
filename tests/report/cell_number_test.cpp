// Which cell texts become numbers, and with a format that shows the text.
#include <gtest/gtest.h>

#include "common/utf.h"
#include "report/cell_number.h"

namespace {

struct NumberCase {
    const char* text;
    double value;
    const char* format;
};

class ReadsAsNumber : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadsAsNumber, WithAFormatShowingTheText) {
    const NumberCase& test = GetParam();
    const auto number = CellNumberOf(Utf8ToUtf16(test.text));
    ASSERT_TRUE(number.has_value()) << test.text;
    EXPECT_DOUBLE_EQ(number->m_dValue, test.value) << test.text;
    EXPECT_EQ(number->m_strFormat, test.format) << test.text;
}

INSTANTIATE_TEST_SUITE_P(CellNumber, ReadsAsNumber,
                         testing::Values(NumberCase{"448.0", 448, "0.0"}, NumberCase{"12", 12, "0"},
                                         NumberCase{"0", 0, "0"}, NumberCase{"0.05", 0.05, "0.00"},
                                         NumberCase{"-3.25", -3.25, "0.00"},
                                         NumberCase{"1.0%", 0.01, "0.0%"},
                                         NumberCase{"12.5%", 0.125, "0.0%"},
                                         NumberCase{"100%", 1, "0%"},
                                         NumberCase{"123456789012345", 123456789012345.0, "0"},
                                         NumberCase{"2016-05-04", 42494, "yyyy-mm-dd"},
                                         NumberCase{"1900-03-01", 61, "yyyy-mm-dd"},
                                         NumberCase{"2016-02-29", 42429, "yyyy-mm-dd"},
                                         NumberCase{"9999-12-31", 2958465, "yyyy-mm-dd"}));

class StaysText : public testing::TestWithParam<const char*> {};

TEST_P(StaysText, WhenNoFormatWouldShowItAgain) {
    EXPECT_FALSE(CellNumberOf(Utf8ToUtf16(GetParam())).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(CellNumber, StaysText,
                         testing::Values("", "007", "00", "1e5", " 12", "12 ", "12.", ".5", "+5",
                                         "1,5", "1.000,5", "NaN", "inf", "-", "-.5", "%", "5%%",
                                         "-0", "-0.0", "0x1A", "448.0 HL", "P01",
                                         "1234567890123456", "12345678901234.56", "2016-5-04",
                                         "2016-05-04 10:21", "2015-02-29", "2016-13-01",
                                         "2016-00-10", "1900-02-28", "1899-12-31",
                                         "\xEF\xBC\x91\xEF\xBC\x92" /* full-width 12 */));

}  // namespace
