// A test batch: test model and method, limits, statistics over the item
// averages, creation time and the items it owns.
#pragma once

#include <cstdint>
#include <memory>

#include "model/ledgermill_item.h"

inline constexpr int kTestModelBatch = 0;
inline constexpr int kTestModelAverage = 1;
inline constexpr int kTestMethodUci = 0;
inline constexpr int kTestMethodLeeb = 1;

struct STLedgermill {
    std::int32_t m_nTestModel = kTestModelBatch;
    std::int32_t m_nTestMethod = kTestMethodUci;
    double m_dUpperLimit = 100.0;
    double m_dLowerLimit = 0.0;
    bool m_bUseLimit = true;
    double m_dMax = 0.0;
    double m_dMin = 0.0;
    double m_dAverage = 0.0;
    double m_dStandardDeviation = 0.0;
    std::int64_t m_time;
    LedgermillItemList m_itemVector;

    // Creation time is now.
    STLedgermill();
    // Deep: every item is copied; the copy shares nothing with the source.
    STLedgermill(const STLedgermill& other);
    STLedgermill& operator=(const STLedgermill& other);
    STLedgermill(STLedgermill&&) noexcept = default;
    STLedgermill& operator=(STLedgermill&&) noexcept = default;
    ~STLedgermill() = default;

    // Appends the item at the end; a null item is ignored.
    void AddItem(std::unique_ptr<STLedgermillItem> item);

    // Destroys the first entry that is this very item, if any, and
    // recomputes the statistics either way.
    void RemoveItem(const STLedgermillItem* item);

    // Recomputes the four figures from the averages of the items.
    void UpdateStatistics();

    // Pass rule: inclusive limits, applied only when m_bUseLimit is on; an
    // average that is not a number passes.
    bool IsPass(const STLedgermillItem& item) const;
};
