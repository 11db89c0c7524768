#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <limits>

#include "common/number_text.h"
#include "common/time_text.h"
#include "support/comma_locale.h"

namespace {

void ExpectClassicNumberTexts() {
    EXPECT_EQ(DoubleToText(456), u"456.0");
    EXPECT_EQ(DoubleToText(5.656854), u"5.7");
    EXPECT_EQ(DoubleToText(0), u"0.0");
    EXPECT_EQ(DoubleToText(-1234.56), u"-1234.6");
    EXPECT_EQ(DoubleToText(523.46), u"523.5");
    EXPECT_EQ(DoubleToText(1234567.0), u"1234567.0");
    EXPECT_EQ(IntToText(-42), u"-42");
    EXPECT_EQ(IntToText(1000000), u"1000000");
    EXPECT_EQ(UIntToText(static_cast<std::uint32_t>(-1)), u"4294967295");
}

class LocalTime : public testing::Test {
protected:
    void SetUp() override {
        // Central European time with its summer rule; needs no zone files.
        setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        tzset();
    }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }

    static std::int64_t Local(int year, int month, int day, int hour, int minute, int second) {
        std::tm fields{};
        fields.tm_year = year - 1900;
        fields.tm_mon = month - 1;
        fields.tm_mday = day;
        fields.tm_hour = hour;
        fields.tm_min = minute;
        fields.tm_sec = second;
        fields.tm_isdst = -1;
        return std::mktime(&fields);
    }
};

}  // namespace

TEST(NumberText, UsesClassicConventions) {
    ExpectClassicNumberTexts();
}

TEST(NumberText, IgnoresCommaDecimalLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    ExpectClassicNumberTexts();
}

TEST(NumberText, RoundsAsFormattedOutputDoes) {
    EXPECT_EQ(DoubleToText(0.25), u"0.2");  // exact tie: to even
    EXPECT_EQ(DoubleToText(0.35), u"0.3");  // binary value lies below the tie
    EXPECT_EQ(DoubleToText(0.05), u"0.1");  // binary value lies above the tie
    EXPECT_EQ(DoubleToText(-0.04), u"-0.0");
    EXPECT_EQ(DoubleToText(9.96), u"10.0");
}

TEST(NumberText, ShowsNonFiniteAndHugeValuesWithoutOverflow) {
    EXPECT_EQ(DoubleToText(std::numeric_limits<double>::infinity()), u"inf");
    EXPECT_EQ(DoubleToText(-std::numeric_limits<double>::infinity()), u"-inf");
    EXPECT_EQ(DoubleToText(std::nan("")), u"nan");
    const std::u16string largest = DoubleToText(std::numeric_limits<double>::max());
    EXPECT_EQ(largest.size(), 311u);
    EXPECT_EQ(largest.substr(0, 5), u"17976");
    EXPECT_EQ(largest.substr(309), u".0");
}

TEST_F(LocalTime, FormatsEverySelector) {
    const std::int64_t t = Local(2016, 5, 5, 9, 7, 3);
    EXPECT_EQ(FormatTime(0, t), u"2016-05-05 09:07:03");
    EXPECT_EQ(FormatTime(1, t), u"2016-05-05");
    EXPECT_EQ(FormatTime(2, t), u"09:07:03");
    EXPECT_EQ(FormatTime(3, t), u"20160505090703");
    EXPECT_EQ(FormatTime(4, t), u"20160505");
    EXPECT_EQ(FormatTime(5, t), u"090703");
    EXPECT_EQ(FormatTime(6, t), u"");
    EXPECT_EQ(FormatTime(-1, t), u"");
}

TEST_F(LocalTime, UsesLocalZoneWithSummerTime) {
    EXPECT_EQ(FormatTime(0, 0), u"1970-01-01 01:00:00");
    EXPECT_EQ(FormatTime(0, 1462439223), u"2016-05-05 11:07:03");
}

TEST_F(LocalTime, TimesBeyondTheCalendarGiveEmptyText) {
    EXPECT_EQ(FormatTime(0, std::numeric_limits<std::int64_t>::max()), u"");
    EXPECT_EQ(FormatTime(3, std::numeric_limits<std::int64_t>::min()), u"");
    EXPECT_EQ(FormatTime(1, -86400), u"1969-12-31");
}
