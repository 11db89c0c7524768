// The fields of a batch and of an item in file order, as one list each that
// every reader and writer of .hdb files walks: field(name, member) for every
// field. The record is const when written.
#pragma once

#include <string_view>

inline constexpr std::string_view kBatchClass = "STLedgermill";
inline constexpr std::string_view kItemClass = "STLedgermillItem";

struct BatchFields {
    template <class Batch, class Field>
    void operator()(Batch& batch, const Field& field) const {
        field("m_nTestModel", batch.m_nTestModel);
        field("m_nTestMethod", batch.m_nTestMethod);
        field("m_dUpperLimit", batch.m_dUpperLimit);
        field("m_dLowerLimit", batch.m_dLowerLimit);
        field("m_bUseLimit", batch.m_bUseLimit);
        field("m_dMax", batch.m_dMax);
        field("m_dMin", batch.m_dMin);
        field("m_dAverage", batch.m_dAverage);
        field("m_dStandardDeviation", batch.m_dStandardDeviation);
        field("m_time", batch.m_time);
        field("m_itemVector", batch.m_itemVector);
    }
};

struct ItemFields {
    template <class Item, class Field>
    void operator()(Item& item, const Field& field) const {
        field("m_dMax", item.m_dMax);
        field("m_dMin", item.m_dMin);
        field("m_dAverage", item.m_dAverage);
        field("m_dStandardDeviation", item.m_dStandardDeviation);
        field("m_subItem", item.m_subItem);
        field("m_values", item.m_values);
    }
};
