#include "instrument/capability.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "common/number_text.h"

namespace {

// One item per (average, scale), limits 400..500 in use.
STLedgermill Batch(std::initializer_list<std::pair<double, const char16_t*>> items) {
    STLedgermill batch;
    batch.m_dLowerLimit = 400;
    batch.m_dUpperLimit = 500;
    for (const auto& [average, scale] : items) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_values = {average};
        item->UpdateStatistics();
        item->m_subItem.emplace(u"HD", scale);
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    return batch;
}

}  // namespace

// Equal readings leave a deviation of rounding only: no Cp of trillions.
TEST(Capability, EqualReadingsHaveNoCapabilityIndex) {
    STLedgermill batch = Batch({});
    for (int n = 0; n < 10000; ++n) {
        auto item = std::make_unique<STLedgermillItem>();
        item->m_values = {452.9};
        item->UpdateStatistics();
        batch.AddItem(std::move(item));
    }
    batch.UpdateStatistics();
    ASSERT_GT(batch.m_dStandardDeviation, 0.0);  // what the sums leave
    EXPECT_EQ(DoubleToText(batch.m_dAverage), u"452.9");
    const STCapability capability = ComputeCapability(batch);
    EXPECT_FALSE(capability.m_oCp);
    EXPECT_FALSE(capability.m_oCpk);
    // The smallest spread a tester prints still counts.
    EXPECT_TRUE(ComputeCapability(Batch({{452.9, u"HV"}, {453.0, u"HV"}})).m_oCp);
}

TEST(Capability, CpAndCpkAgainstHandComputedValues) {
    // Averages 420, 430, 440: mean 430, s 10. Cp = 100 / 60, Cpk = 30 / 30.
    const STCapability off = ComputeCapability(Batch({{420, u"HV"}, {430, u"HV"}, {440, u"HV"}}));
    ASSERT_TRUE(off.m_oCp && off.m_oCpk);
    EXPECT_DOUBLE_EQ(*off.m_oCp, 100.0 / 60.0);
    EXPECT_DOUBLE_EQ(*off.m_oCpk, 1.0);
    EXPECT_EQ(CapabilityIndexText(off.m_oCp), u"1.67");
    EXPECT_EQ(CapabilityIndexText(off.m_oCpk), u"1.00");
    EXPECT_DOUBLE_EQ(*off.m_oPassRate, 1.0);
    EXPECT_EQ(off.m_nNg, 0);

    // The upper side nearer: mean 480, Cpk = 20 / 30.
    const STCapability high = ComputeCapability(Batch({{470, u"HV"}, {480, u"HV"}, {490, u"HV"}}));
    EXPECT_DOUBLE_EQ(*high.m_oCpk, 20.0 / 30.0);
}

TEST(Capability, ValuesNotAboveTenStayOutOfTheFiguresButCountAsItems) {
    // 5.0 takes no part in mean and s, yet it is an item, and an NG one.
    const STCapability capability =
        ComputeCapability(Batch({{420, u"HV"}, {430, u"HV"}, {440, u"HV"}, {5, u"HV"}}));
    EXPECT_DOUBLE_EQ(*capability.m_oCpk, 1.0);
    EXPECT_EQ(capability.m_nNg, 1);
    EXPECT_DOUBLE_EQ(*capability.m_oPassRate, 0.75);
    EXPECT_EQ(PassRateText(capability.m_oPassRate), u"75.0%");
}

TEST(Capability, UndefinedFiguresAreLeftOut) {
    const auto undefined = [](const STCapability& capability) {
        return !capability.m_oCp && !capability.m_oCpk;
    };
    EXPECT_TRUE(undefined(ComputeCapability(Batch({{450, u"HV"}, {450, u"HV"}})))) << "s = 0";
    EXPECT_TRUE(undefined(ComputeCapability(Batch({{450, u"HV"}})))) << "one item";
    EXPECT_TRUE(undefined(ComputeCapability(Batch({{450, u"HV"}, {9, u"HV"}})))) << "one value above 10";

    STLedgermill noLimits = Batch({{300, u"HV"}, {450, u"HV"}, {600, u"HV"}});
    noLimits.m_bUseLimit = false;
    const STCapability unlimited = ComputeCapability(noLimits);
    EXPECT_TRUE(undefined(unlimited));
    EXPECT_DOUBLE_EQ(*unlimited.m_oPassRate, 1.0);
    EXPECT_EQ(unlimited.m_nNg, 0);

    const STCapability empty = ComputeCapability(Batch({}));
    EXPECT_TRUE(undefined(empty));
    EXPECT_FALSE(empty.m_oPassRate);
    EXPECT_EQ(CapabilityIndexText(empty.m_oCp), u"-");
    EXPECT_EQ(PassRateText(empty.m_oPassRate), u"-");
}

TEST(Capability, MixedScalesAreNamedAndGiveNoFigure) {
    const STCapability mixed =
        ComputeCapability(Batch({{420, u"HV"}, {430, u"HRC"}, {440, u"HV"}, {445, u""}}));
    EXPECT_TRUE(mixed.HasMixedScales());
    EXPECT_EQ(MixedScalesText(mixed), u"mixed scales: HRC, HV");
    EXPECT_FALSE(mixed.m_oCp);
    EXPECT_FALSE(mixed.m_oCpk);
    EXPECT_DOUBLE_EQ(*mixed.m_oPassRate, 1.0);

    const STCapability single = ComputeCapability(Batch({{420, u"HV"}, {430, u""}, {440, u"HV"}}));
    EXPECT_FALSE(single.HasMixedScales());
    EXPECT_EQ(MixedScalesText(single), u"");
    EXPECT_TRUE(single.m_oCpk);
}
