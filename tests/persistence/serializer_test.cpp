#include "persistence/serializer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "persistence/field_text.h"
#include "support/comma_locale.h"

using namespace std::string_literals;

namespace {

// A record element holding one child per (name, text) pair.
struct Record {
    XmlDocument document;
    STXmlNode* node = CreateChild(nullptr, "record", "", document);

    Record& With(std::string_view name, std::string_view text) {
        CreateChild(node, name, text, document);
        return *this;
    }
};

template <class Value>
Value ReadAs(std::string_view text, Value initial) {
    Record record;
    record.With("f", text);
    CSerializer::ReadField(record.node, "f", initial);
    return initial;
}

std::string WrittenText(const auto& value) {
    Record record;
    CSerializer::WriteField(record.node, "f", value);
    return record.node->m_children.at(0)->m_strText;
}

}  // namespace

TEST(FieldText, WritesClassicFixedForms) {
    EXPECT_EQ(DoubleText(1.0 / 3), "0.333333");
    EXPECT_EQ(DoubleText(-0.5), "-0.500000");
    EXPECT_EQ(DoubleText(3000), "3000.000000");
    EXPECT_EQ(DoubleText(7.0710678), "7.071068");
    EXPECT_EQ(DoubleText(1e20), "100000000000000000000.000000");
    EXPECT_EQ(WrittenText(std::int32_t{-42}), "-42");
    EXPECT_EQ(WrittenText(std::uint32_t{4000000000u}), "4000000000");
    EXPECT_EQ(WrittenText(std::int64_t{-1450000000000}), "-1450000000000");
    EXPECT_EQ(WrittenText(true), "true");
    EXPECT_EQ(WrittenText(std::uint8_t{8}), "\x08");
    EXPECT_EQ(WrittenText(std::uint8_t{0}), "\0"s);
}

TEST(FieldText, NumbersIgnoreCommaDecimalLocale) {
    CommaDecimalLocale locale;
    REQUIRE_COMMA_LOCALE(locale);
    EXPECT_EQ(DoubleText(3000), "3000.000000");
    EXPECT_EQ(ReadAs("2.5", 0.0), 2.5);
    EXPECT_EQ(ReadAs("1,5", 0.0), 1.0);
}

TEST(FieldText, ReadsTheLongestNumberPrefixOrKeepsTheValue) {
    EXPECT_EQ(ReadAs("1e3", 0.0), 1000.0);
    EXPECT_EQ(ReadAs("1e3", std::int32_t{0}), 1);
    EXPECT_EQ(ReadAs("12abc", std::int32_t{0}), 12);
    EXPECT_EQ(ReadAs("2.5", std::int32_t{0}), 2);
    EXPECT_EQ(ReadAs("\v-7", std::int32_t{0}), -7);
    EXPECT_EQ(ReadAs("abc", std::int32_t{5}), 5);
    EXPECT_EQ(ReadAs("", 5.5), 5.5);
    EXPECT_EQ(ReadAs("3000000000", std::int32_t{5}), 5);
    EXPECT_EQ(ReadAs("-1", std::uint32_t{5}), 5u);
    EXPECT_EQ(ReadAs("4294967295", std::uint32_t{5}), 4294967295u);
    EXPECT_EQ(ReadAs("99999999999999999999", std::int64_t{5}), 5);
    EXPECT_EQ(ReadAs("1e999", 5.5), 5.5);
    EXPECT_TRUE(std::isnan(ReadAs("nan", 5.5)));
    EXPECT_EQ(ReadAs("-inf", 5.5), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ReadAs("trueish", false), true);
    EXPECT_EQ(ReadAs("false", true), false);
    EXPECT_EQ(ReadAs("TRUE", false), false);
}

TEST(FieldText, UnsignedCharIsOneRawByte) {
    EXPECT_EQ(ReadAs("\x08", std::uint8_t{1}), 8);
    EXPECT_EQ(ReadAs("\0"s, std::uint8_t{1}), 0);
    EXPECT_EQ(ReadAs("7", std::uint8_t{1}), 55);
    EXPECT_EQ(ReadAs("\xFF", std::uint8_t{1}), 255);
    for (const char space : {'\t', '\n', '\v', '\f', '\r', ' '}) {
        EXPECT_EQ(ReadAs(std::string(1, space), std::uint8_t{1}), 1) << int(space);
    }
}

TEST(HexText, EncodesUtf16LittleEndianWithTerminator) {
    EXPECT_EQ(HexEncode(u""), "0000");
    EXPECT_EQ(HexEncode(u"NAME"), "4E0041004D0045000000");
    EXPECT_EQ(HexEncode(u"T1"), "540031000000");
    EXPECT_EQ(HexEncode(u"\u00E9\U0001F600"), "E9003DD800DE0000");
}

TEST(HexText, DecodesWithTheFileRules) {
    const auto decode = [](std::string_view hex) {
        std::u16string text = u"kept";
        HexDecode(hex, text);
        return text;
    };
    EXPECT_EQ(decode("0000"), u"");
    EXPECT_EQ(decode(""), u"");
    EXPECT_EQ(decode("4100"), u"A");
    EXPECT_EQ(decode("4100410"), u"kept");
    EXPECT_EQ(decode("4x00"), u"\u0040");
    EXPECT_EQ(decode("4e00"), u"\u0040");
    EXPECT_EQ(decode("410042000000430044"), u"AB");
    EXPECT_EQ(decode("410041"), u"AA");
    EXPECT_EQ(decode("E9003DD800DE0000"), u"\u00E9\U0001F600");
}

TEST(Containers, EveryChildCountsWhateverItsName) {
    Record values;
    STXmlNode* vector = CreateChild(values.node, "m_values", "", values.document);
    // A repeated name reads the first child of that name; the empty name
    // finds nothing.
    for (const auto& [name, text] :
         {std::pair{"a", "12.5"}, {"b", "abc"}, {"c", "12.5"}, {"b", "99"}, {"", "7"}}) {
        CreateChild(vector, name, text, values.document);
    }
    std::vector<double> read{1.0};
    EXPECT_TRUE(CSerializer::ReadValueVector(values.node, "m_values", read));
    EXPECT_EQ(read, (std::vector<double>{1.0, 12.5, 0.0, 12.5, 0.0, 0.0}));
    EXPECT_FALSE(CSerializer::ReadValueVector(values.node, "missing", read));
    EXPECT_EQ(read.size(), 6u);
}

TEST(Containers, MapEntriesWithEqualKeysKeepTheLaterValue) {
    Record record;
    SubItemMap written{{u"NAME", u"T1"}, {u"DIR", u"90"}};
    CSerializer::WriteSubItemMap(record.node, "m_subItem", written);
    STXmlNode* map = record.node->m_children[0].get();
    EXPECT_EQ(map->m_attributes.at("class"), "std::map<STDWString, STDWString*>");
    EXPECT_EQ(map->m_children[0]->m_strName, "item0");
    EXPECT_TRUE(map->m_children[0]->m_attributes.empty());
    // A third entry repeating the key "NAME", and one with no key or value.
    STXmlNode* repeat = CreateChild(map, "item2", "", record.document);
    CSerializer::WriteField(repeat, "map_key", std::u16string_view(u"NAME"));
    CSerializer::WriteField(repeat, "map_value", std::u16string_view(u"T2"));
    CreateChild(map, "item3", "", record.document);

    SubItemMap read{{u"OLD", u"x"}};
    EXPECT_TRUE(CSerializer::ReadSubItemMap(record.node, "m_subItem", read));
    EXPECT_EQ(read, (SubItemMap{{u"", u""}, {u"DIR", u"90"}, {u"NAME", u"T2"}, {u"OLD", u"x"}}));
}

TEST(Containers, ItemVectorOfAHundredThousandChildrenReadsInOnePass) {
    constexpr std::size_t kItems = 100'000;
    STLedgermillItem item;
    item.m_dAverage = 448.0;
    LedgermillItemList items;
    for (std::size_t i = 0; i < kItems; ++i) {
        items.push_back(std::make_unique<STLedgermillItem>(item));
    }
    Record record;
    CSerializer::WriteItemVector(record.node, "m_itemVector", items);
    STXmlNode* vector = record.node->m_children[0].get();
    EXPECT_EQ(vector->m_children.back()->m_strName, "item99999");
    vector->m_children[1]->m_strName = "item0";  // duplicates read the first

    vector->m_children[0]->m_children[2]->m_strText = "450.0";
    LedgermillItemList read;
    EXPECT_TRUE(CSerializer::ReadItemVector(record.node, "m_itemVector", read));
    ASSERT_EQ(read.size(), kItems);
    EXPECT_EQ(read[0]->m_dAverage, 450.0);
    EXPECT_EQ(read[1]->m_dAverage, 450.0);
    EXPECT_EQ(read[2]->m_dAverage, 448.0);
}
