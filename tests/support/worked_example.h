// The batch of tests/data/worked_example.hdb.
#pragma once

#include <memory>

#include "model/ledgermill.h"

inline STLedgermill WorkedExampleBatch() {
    STLedgermill batch;
    batch.m_nTestModel = 0;
    batch.m_nTestMethod = 1;
    batch.m_dUpperLimit = 500;
    batch.m_dLowerLimit = 400;
    batch.m_time = 1450000000;
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem[u"NAME"] = u"T1";
    item->m_values = {440, 450};
    item->UpdateStatistics();
    batch.AddItem(std::move(item));
    batch.UpdateStatistics();
    return batch;
}
