#include "dialogs/locale_number.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/comma_locale.h"

namespace {

struct STTypedCase {
    const char* m_pszText;
    std::optional<double> m_expected;
};

constexpr STTypedCase kTypedCases[] = {
    {"12,5", 12.5},
    {"12.5", 12.5},
    {" -3 ", -3.0},
    {"+480,25", 480.25},
    {"\t0.0\n", 0.0},
    {",5", 0.5},
    {"5.", 5.0},
    {"-.5", -0.5},
    {"007", 7.0},
    {"", std::nullopt},
    {"   ", std::nullopt},
    {"abc", std::nullopt},
    {"12x", std::nullopt},
    {"x12", std::nullopt},
    {"1,2,3", std::nullopt},
    {"1.2,3", std::nullopt},
    {"1 000", std::nullopt},
    {"2.5%", std::nullopt},
    {"-", std::nullopt},
    {",", std::nullopt},
    {"+-3", std::nullopt},
    {"3-", std::nullopt},
    {"1e3", std::nullopt},
    {"inf", std::nullopt},
    {"nan", std::nullopt},
    {"0x10", std::nullopt},
    {"\xd9\xa3", std::nullopt},  // an Arabic-Indic digit
};

void ExpectTable() {
    for (const STTypedCase& typed : kTypedCases) {
        EXPECT_EQ(ParseTypedNumber(QString::fromUtf8(typed.m_pszText)), typed.m_expected)
            << '"' << typed.m_pszText << '"';
    }
}

}  // namespace

TEST(ParseTypedNumber, TakesEitherSeparatorUnderTheClassicLocale) {
    ExpectTable();
}

TEST(ParseTypedNumber, TakesEitherSeparatorUnderACommaLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    ExpectTable();
}

TEST(ParseTypedNumber, RefusesWhatADoubleCannotHold) {
    EXPECT_EQ(ParseTypedNumber(QString(400, u'9')), std::nullopt);
    EXPECT_EQ(ParseTypedNumber(QStringLiteral("123456789012.125")), 123456789012.125);
}
