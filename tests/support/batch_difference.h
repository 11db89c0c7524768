// Compares two batches to the bit (NaN, -0.0 and the item order included)
// and says where they first differ; empty when they are alike. Free of
// GoogleTest, so the fuzz body can use it too.
#pragma once

#include <cstring>
#include <string>

#include "model/ledgermill.h"

namespace batch_difference_detail {

inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

inline std::string ItemDifference(const STLedgermillItem& a, const STLedgermillItem& b) {
    if (!SameBits(a.m_dMax, b.m_dMax) || !SameBits(a.m_dMin, b.m_dMin) ||
        !SameBits(a.m_dAverage, b.m_dAverage) ||
        !SameBits(a.m_dStandardDeviation, b.m_dStandardDeviation)) {
        return "figures";
    }
    if (a.m_subItem != b.m_subItem) {
        return "m_subItem";
    }
    if (a.m_values.size() != b.m_values.size()) {
        return "m_values size " + std::to_string(a.m_values.size()) + " vs " +
               std::to_string(b.m_values.size());
    }
    for (std::size_t i = 0; i < a.m_values.size(); ++i) {
        if (!SameBits(a.m_values[i], b.m_values[i])) {
            return "m_values[" + std::to_string(i) + "]";
        }
    }
    return {};
}

}  // namespace batch_difference_detail

inline std::string BatchDifference(const STLedgermill& a, const STLedgermill& b) {
    using batch_difference_detail::SameBits;
    if (a.m_nTestModel != b.m_nTestModel || a.m_nTestMethod != b.m_nTestMethod ||
        a.m_bUseLimit != b.m_bUseLimit || a.m_time != b.m_time) {
        return "model, method, use limit or time";
    }
    if (!SameBits(a.m_dUpperLimit, b.m_dUpperLimit) ||
        !SameBits(a.m_dLowerLimit, b.m_dLowerLimit) || !SameBits(a.m_dMax, b.m_dMax) ||
        !SameBits(a.m_dMin, b.m_dMin) || !SameBits(a.m_dAverage, b.m_dAverage) ||
        !SameBits(a.m_dStandardDeviation, b.m_dStandardDeviation)) {
        return "limits or figures";
    }
    if (a.m_itemVector.size() != b.m_itemVector.size()) {
        return "item count " + std::to_string(a.m_itemVector.size()) + " vs " +
               std::to_string(b.m_itemVector.size());
    }
    for (std::size_t i = 0; i < a.m_itemVector.size(); ++i) {
        const std::string item =
            batch_difference_detail::ItemDifference(*a.m_itemVector[i], *b.m_itemVector[i]);
        if (!item.empty()) {
            return "item " + std::to_string(i) + ": " + item;
        }
    }
    return {};
}
