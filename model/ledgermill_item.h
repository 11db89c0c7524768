// One instrument record: its key/value texts, its readings and their
// statistics.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// Record keys to value texts. Upper-cased keys, ordered by UTF-16 code
// units; std::less<> lets the parser look keys up by view.
using SubItemMap = std::map<std::u16string, std::u16string, std::less<>>;

struct STLedgermillItem {
    double m_dMax = 0.0;
    double m_dMin = 0.0;
    double m_dAverage = 0.0;
    double m_dStandardDeviation = 0.0;
    SubItemMap m_subItem;
    std::vector<double> m_values;

    void Clear();

    // Recomputes the four figures from m_values.
    void UpdateStatistics();

    // Whether a batch of this test model (0 Batch, 1 Average) and test method
    // (0 UCI, 1 Leeb) accepts the record. It follows from the record's keys,
    // so it is defined with the record format in instrument/.
    bool IsValidFor(int testModel, int testMethod) const;
};

// The parser's result and a batch's items: owned, in order, never null.
using LedgermillItemList = std::vector<std::unique_ptr<STLedgermillItem>>;
