#include <gtest/gtest.h>

#include "instrument/direction_label.h"
#include "instrument/record_parser.h"
#include "model/ledgermill.h"

namespace {

STLedgermillItem WithKeys(std::initializer_list<std::u16string> keys) {
    STLedgermillItem item;
    for (const auto& key : keys) {
        item.m_subItem[key] = u"";
    }
    return item;
}

}  // namespace

TEST(IsValidFor, MethodAndModelFollowFromKeyPresence) {
    const STLedgermillItem leebBatch = WithKeys({u"IMPACT", u"VALUE"});
    const STLedgermillItem leebAverage = WithKeys({u"IMPACT", u"AVE"});
    const STLedgermillItem uciBatch = WithKeys({u"F"});
    const STLedgermillItem both = WithKeys({u"IMPACT", u"F"});

    EXPECT_TRUE(leebBatch.IsValidFor(kTestModelBatch, kTestMethodLeeb));
    EXPECT_FALSE(leebBatch.IsValidFor(kTestModelAverage, kTestMethodLeeb));
    EXPECT_FALSE(leebBatch.IsValidFor(kTestModelBatch, kTestMethodUci));
    EXPECT_TRUE(leebAverage.IsValidFor(kTestModelAverage, kTestMethodLeeb));
    EXPECT_FALSE(leebAverage.IsValidFor(kTestModelBatch, kTestMethodLeeb));
    EXPECT_TRUE(uciBatch.IsValidFor(kTestModelBatch, kTestMethodUci));
    EXPECT_TRUE(both.IsValidFor(kTestModelBatch, kTestMethodLeeb));
    EXPECT_TRUE(both.IsValidFor(kTestModelBatch, kTestMethodUci));

    for (const auto& [model, method] : {std::pair{2, 1}, {-1, 1}, {0, 2}, {0, -1}}) {
        EXPECT_FALSE(both.IsValidFor(model, method)) << model << "," << method;
    }
    EXPECT_FALSE(WithKeys({u"impact"}).IsValidFor(kTestModelBatch, kTestMethodLeeb));
}

TEST(IsValidFor, WorkedExampleRecords) {
    std::u16string text =
        u"NAME:P01\r\nIMPACT:X\r\nVALUE:448\r\nDATE:x\r\n\r\n"
        u"NAME:P02\r\nimpact:\r\nLIST:456\r\nAve:456\r\nDATE:y";
    LedgermillItemList items;
    ParseRecordText(text, items);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_TRUE(items[0]->IsValidFor(kTestModelBatch, kTestMethodLeeb));
    EXPECT_FALSE(items[0]->IsValidFor(kTestModelAverage, kTestMethodLeeb));
    EXPECT_FALSE(items[1]->IsValidFor(kTestModelBatch, kTestMethodLeeb));
    EXPECT_TRUE(items[1]->IsValidFor(kTestModelAverage, kTestMethodLeeb));
    EXPECT_FALSE(items[1]->IsValidFor(kTestModelAverage, kTestMethodUci));
}

TEST(LastLineStartsWith, DetectsTheClosingDateLine) {
    EXPECT_TRUE(LastLineStartsWith(u"DATE", u"NAME:A\r\nDATE:x\r\n\r\n"));
    EXPECT_TRUE(LastLineStartsWith(u"DATE", u"NAME:A\r\n  date: 2016"));
    EXPECT_TRUE(LastLineStartsWith(u"DATE", u"DATE"));
    EXPECT_TRUE(LastLineStartsWith(u"date", u"DATEx"));
    EXPECT_FALSE(LastLineStartsWith(u"DATE", u"NAME:A\r\nDAT"));
    EXPECT_FALSE(LastLineStartsWith(u"DATE", u"DATE:x\r\nNAME:A"));
    EXPECT_FALSE(LastLineStartsWith(u"DATE", u"NAME:A\nDATE:x"));  // LF alone ends no line
    EXPECT_FALSE(LastLineStartsWith(u"DATE", u""));
    EXPECT_FALSE(LastLineStartsWith(u"DATE", u" \r\n\t"));
}

TEST(DirectionLabel, MapsKnownDirectionsToArrows) {
    EXPECT_EQ(DirectionLabel(u"270"), u"\u2193");
    EXPECT_EQ(DirectionLabel(u"225/315"), u"\u2199");
    EXPECT_EQ(DirectionLabel(u"0/180"), u"\u2190");
    EXPECT_EQ(DirectionLabel(u"45/135"), u"\u2196");
    EXPECT_EQ(DirectionLabel(u"90"), u"\u2191");
    EXPECT_EQ(DirectionLabel(u" 90"), u" 90");
    EXPECT_EQ(DirectionLabel(u""), u"");
    EXPECT_EQ(DirectionLabel(u"180"), u"180");
}
