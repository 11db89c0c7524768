#include "tools/marlo_sim/record_generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "common/utf.h"
#include "instrument/reading_number.h"
#include "instrument/record_parser.h"

namespace {

constexpr std::string_view kDate = "2026-12-07 10:20:30";

struct GeneratorCase {
    const char* name;
    int model;
    int method;
};

void PrintTo(const GeneratorCase& c, std::ostream* out) {
    *out << c.name;
}

class GeneratedTransmission : public testing::TestWithParam<GeneratorCase> {};

LedgermillItemList Parse(const std::string& bytes) {
    std::u16string text = Utf8ToUtf16(bytes);
    LedgermillItemList items;
    ParseRecordText(text, items);
    return items;
}

std::set<std::u16string> KeysOf(const STLedgermillItem& item) {
    std::set<std::u16string> keys;
    for (const auto& [key, value] : item.m_subItem) {
        keys.insert(key);
    }
    return keys;
}

std::set<std::u16string> ExpectedKeys(const GeneratorCase& c) {
    std::set<std::u16string> keys{u"NAME", u"HD", u"DIR", u"VALUE", u"DATE"};
    keys.insert(c.method == kTestMethodLeeb ? u"IMPACT" : u"F");
    if (c.model == kTestModelAverage) {
        keys.insert(u"AVE");
    }
    return keys;
}

// The comma-separated pieces of a VALUE text, exactly as written.
std::vector<std::u16string> Readings(std::u16string_view list) {
    std::vector<std::u16string> readings;
    for (std::size_t start = 0, comma = 0; comma != list.npos; start = comma + 1) {
        comma = list.find(u',', start);
        readings.emplace_back(list.substr(start, comma == list.npos ? comma : comma - start));
    }
    return readings;
}

// Digits with at most one decimal and nothing else: "448.5", "452".
bool IsPlainReading(std::u16string_view text) {
    const auto isDigits = [](std::u16string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(),
                                            [](char16_t c) { return c >= u'0' && c <= u'9'; });
    };
    const std::size_t point = text.find(u'.');
    return isDigits(text.substr(0, point)) &&
           (point == text.npos || (text.size() == point + 2 && isDigits(text.substr(point + 1))));
}

std::string GenerateTwice(std::uint64_t seed) {
    CRecordGenerator generator(STGeneratorSettings{}, seed);
    const std::string first = generator.NextTransmission(kDate);
    return first + generator.NextTransmission(kDate);
}

}  // namespace

TEST_P(GeneratedTransmission, ParsesIntoRecordsTheBatchAccepts) {
    const GeneratorCase& c = GetParam();
    STGeneratorSettings settings;
    settings.m_nTestModel = c.model;
    settings.m_nTestMethod = c.method;
    settings.m_nRecords = 6;
    settings.m_dMean = DefaultMean(c.method);
    CRecordGenerator generator(settings, 7);
    const std::set<std::u16string> directions{u"90", u"45/135", u"0/180", u"225/315", u"270"};

    int point = 0;
    for (int transmission = 0; transmission < 3; ++transmission) {
        const std::string text = generator.NextTransmission(kDate);
        EXPECT_TRUE(text.ends_with("\r\nDATE:" + std::string(kDate) + "\r\n"));
        EXPECT_TRUE(LastLineStartsWith(u"DATE", Utf8ToUtf16(text)));
        const LedgermillItemList items = Parse(text);
        ASSERT_EQ(items.size(), 6u);

        for (const auto& item : items) {
            SCOPED_TRACE(Utf16ToUtf8(item->m_subItem[u"NAME"]));
            EXPECT_TRUE(item->IsValidFor(c.model, c.method));
            EXPECT_EQ(KeysOf(*item), ExpectedKeys(c));
            char name[16];
            std::snprintf(name, sizeof name, "P%03d", ++point);
            EXPECT_EQ(item->m_subItem[u"NAME"], Utf8ToUtf16(name));  // continues across
            EXPECT_TRUE(directions.contains(item->m_subItem[u"DIR"]));
            const std::vector<std::u16string> readings = Readings(item->m_subItem[u"VALUE"]);
            EXPECT_GE(readings.size(), 3u);
            EXPECT_LE(readings.size(), 10u);
            EXPECT_TRUE(std::all_of(readings.begin(), readings.end(), IsPlainReading));
            for (const double reading : item->m_values) {
                EXPECT_NEAR(reading, settings.m_dMean, 6 * settings.m_dSpread);
            }
            if (c.model == kTestModelAverage) {
                EXPECT_NEAR(ReadLeadingNumber(item->m_subItem[u"AVE"]), item->m_dAverage,
                            0.05 + 1e-9);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ModelsAndMethods, GeneratedTransmission,
    testing::Values(GeneratorCase{"LeebBatch", kTestModelBatch, kTestMethodLeeb},
                    GeneratorCase{"LeebAverage", kTestModelAverage, kTestMethodLeeb},
                    GeneratorCase{"UciBatch", kTestModelBatch, kTestMethodUci},
                    GeneratorCase{"UciAverage", kTestModelAverage, kTestMethodUci}),
    [](const testing::TestParamInfo<GeneratorCase>& param) { return param.param.name; });

TEST(RecordGenerator, SeedDecidesTheText) {
    EXPECT_EQ(GenerateTwice(7), GenerateTwice(7));
    EXPECT_NE(GenerateTwice(7), GenerateTwice(8));
}

TEST(RecordGenerator, ReadingsFollowMeanAndSpreadButNeverGoBelowZero) {
    STGeneratorSettings exact;
    exact.m_nRecords = 1;
    exact.m_dMean = 123.4;
    exact.m_dSpread = 0;
    const LedgermillItemList one = Parse(CRecordGenerator(exact, 1).NextTransmission(kDate));
    ASSERT_EQ(one.size(), 1u);
    for (const std::u16string& reading : Readings(one[0]->m_subItem[u"VALUE"])) {
        EXPECT_EQ(reading, u"123.4");
    }

    STGeneratorSettings nearZero;
    nearZero.m_nRecords = 20;
    nearZero.m_dMean = 1;
    nearZero.m_dSpread = 50;
    int zeros = 0;
    for (const auto& item : Parse(CRecordGenerator(nearZero, 1).NextTransmission(kDate))) {
        EXPECT_EQ(item->m_subItem[u"VALUE"].find(u'-'), std::u16string::npos);
        zeros += static_cast<int>(std::count(item->m_values.begin(), item->m_values.end(), 0.0));
    }
    EXPECT_GT(zeros, 0);
}
