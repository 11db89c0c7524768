#include "instrument/new_batches.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<int, int>, 4> kKinds{{{kTestMethodLeeb, kTestModelBatch},
                                                     {kTestMethodLeeb, kTestModelAverage},
                                                     {kTestMethodUci, kTestModelBatch},
                                                     {kTestMethodUci, kTestModelAverage}}};

}  // namespace

std::vector<std::unique_ptr<STLedgermill>> SortIntoNewBatches(LedgermillItemList& items,
                                                              const STLedgermill& pattern) {
    std::vector<std::unique_ptr<STLedgermill>> batches;
    LedgermillItemList untaken;
    for (auto& item : items) {
        const auto kind =
            std::find_if(kKinds.begin(), kKinds.end(), [&item](const auto& candidate) {
                return item->IsValidFor(candidate.second, candidate.first);
            });
        if (kind == kKinds.end()) {
            untaken.push_back(std::move(item));
            continue;
        }
        auto batch = std::find_if(batches.begin(), batches.end(), [&kind](const auto& made) {
            return made->m_nTestMethod == kind->first && made->m_nTestModel == kind->second;
        });
        if (batch == batches.end()) {
            auto made = std::make_unique<STLedgermill>(pattern);
            made->m_nTestMethod = kind->first;
            made->m_nTestModel = kind->second;
            batches.push_back(std::move(made));
            batch = batches.end() - 1;
        }
        (*batch)->AddItem(std::move(item));
    }
    items = std::move(untaken);
    for (auto& batch : batches) {
        batch->UpdateStatistics();
    }
    return batches;
}
