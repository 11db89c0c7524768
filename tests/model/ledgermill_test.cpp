#include "model/ledgermill.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

std::unique_ptr<STLedgermillItem> Item(std::u16string name, std::vector<double> values) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem[u"NAME"] = std::move(name);
    item->m_values = std::move(values);
    item->UpdateStatistics();
    return item;
}

STLedgermill BatchOfThree() {
    STLedgermill batch;
    batch.m_nTestModel = kTestModelAverage;
    batch.m_nTestMethod = kTestMethodLeeb;
    batch.m_time = 1462439223;
    batch.AddItem(Item(u"P01", {448}));
    batch.AddItem(Item(u"P02", {456, 460, 0, 452}));
    batch.AddItem(Item(u"P03", {500, 520}));
    batch.UpdateStatistics();
    return batch;
}

}  // namespace

TEST(Ledgermill, NewBatchHasDefaultsAndCurrentTime) {
    const std::int64_t before = std::time(nullptr);
    const STLedgermill batch;
    EXPECT_EQ(batch.m_nTestModel, 0);
    EXPECT_EQ(batch.m_nTestMethod, 0);
    EXPECT_EQ(batch.m_dUpperLimit, 100.0);
    EXPECT_EQ(batch.m_dLowerLimit, 0.0);
    EXPECT_TRUE(batch.m_bUseLimit);
    EXPECT_EQ(batch.m_dMax + batch.m_dMin + batch.m_dAverage + batch.m_dStandardDeviation, 0.0);
    EXPECT_GE(batch.m_time, before);
    EXPECT_LE(batch.m_time, std::time(nullptr));
    EXPECT_TRUE(batch.m_itemVector.empty());
}

TEST(Ledgermill, CopyIsDeepAndKeepsOrderTimeAndStoredFigures) {
    STLedgermill source = BatchOfThree();
    source.m_dMax = 999;  // stored figures are copied, not recomputed
    const STLedgermill copy(source);
    EXPECT_EQ(copy.m_time, source.m_time);
    EXPECT_EQ(copy.m_nTestModel, kTestModelAverage);
    EXPECT_EQ(copy.m_nTestMethod, kTestMethodLeeb);
    EXPECT_EQ(copy.m_dMax, 999);
    ASSERT_EQ(copy.m_itemVector.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const STLedgermillItem& original = *source.m_itemVector[i];
        const STLedgermillItem& copied = *copy.m_itemVector[i];
        EXPECT_NE(&original, &copied);
        EXPECT_EQ(copied.m_subItem, original.m_subItem);
        EXPECT_EQ(copied.m_values, original.m_values);
        EXPECT_EQ(copied.m_dStandardDeviation, original.m_dStandardDeviation);
    }
    source.m_itemVector[0]->m_subItem[u"NAME"] = u"changed";
    source.m_itemVector.clear();
    EXPECT_EQ(copy.m_itemVector[0]->m_subItem.at(u"NAME"), u"P01");

    STLedgermill assigned;
    assigned = copy;
    EXPECT_EQ(assigned.m_itemVector.size(), 3u);
    EXPECT_NE(assigned.m_itemVector[2].get(), copy.m_itemVector[2].get());
}

TEST(Ledgermill, RemoveItemTakesTheGivenItemAndRecomputes) {
    STLedgermill batch = BatchOfThree();
    const STLedgermillItem* middle = batch.m_itemVector[1].get();
    batch.RemoveItem(middle);
    ASSERT_EQ(batch.m_itemVector.size(), 2u);
    EXPECT_EQ(batch.m_itemVector[0]->m_subItem.at(u"NAME"), u"P01");
    EXPECT_EQ(batch.m_itemVector[1]->m_subItem.at(u"NAME"), u"P03");
    EXPECT_DOUBLE_EQ(batch.m_dAverage, (448.0 + 510.0) / 2);
}

TEST(Ledgermill, RemovingAForeignItemChangesNothing) {
    STLedgermill batch = BatchOfThree();
    const STLedgermillItem stranger(*batch.m_itemVector[0]);
    batch.RemoveItem(&stranger);
    batch.RemoveItem(nullptr);
    EXPECT_EQ(batch.m_itemVector.size(), 3u);
}

TEST(Ledgermill, RemovingTheOnlyItemZeroesTheFigures) {
    STLedgermill batch;
    batch.AddItem(Item(u"P01", {448}));
    batch.AddItem(nullptr);
    batch.UpdateStatistics();
    ASSERT_EQ(batch.m_itemVector.size(), 1u);
    EXPECT_EQ(batch.m_dAverage, 448.0);
    batch.RemoveItem(batch.m_itemVector[0].get());
    EXPECT_TRUE(batch.m_itemVector.empty());
    EXPECT_EQ(batch.m_dMax + batch.m_dMin + batch.m_dAverage + batch.m_dStandardDeviation, 0.0);
}

TEST(LedgermillItem, ClearEmptiesEverything) {
    auto item = Item(u"P01", {448, 452});
    item->Clear();
    EXPECT_TRUE(item->m_subItem.empty());
    EXPECT_TRUE(item->m_values.empty());
    EXPECT_EQ(item->m_dAverage, 0.0);
}
