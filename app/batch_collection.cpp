#include "app/batch_collection.h"

#include <algorithm>
#include <iterator>

#include "common/time_text.h"

std::u16string BatchKey(const STLedgermill& batch) {
    return FormatTime(0, batch.m_time);
}

STLedgermill* CBatchCollection::At(int row) const {
    return row >= 0 && row < Count() ? m_batches[static_cast<std::size_t>(row)].get() : nullptr;
}

int CBatchCollection::RowOf(const STLedgermill* batch) const {
    const auto found = std::find_if(m_batches.begin(), m_batches.end(),
                                    [batch](const auto& owned) { return owned.get() == batch; });
    return found == m_batches.end() ? -1 : static_cast<int>(found - m_batches.begin());
}

int CBatchCollection::RowOfKey(const std::u16string& key) const {
    const auto found = m_keys.find(key);
    return found == m_keys.end() ? -1 : RowOf(found->second);
}

int CBatchCollection::Add(std::unique_ptr<STLedgermill> batch) {
    if (!batch || !m_keys.try_emplace(BatchKey(*batch), batch.get()).second) {
        return -1;
    }
    m_batches.push_back(std::move(batch));
    return Count() - 1;
}

std::unique_ptr<STLedgermill> CBatchCollection::Remove(int row) {
    if (At(row) == nullptr) {
        return nullptr;
    }
    const auto place = m_batches.begin() + row;
    std::unique_ptr<STLedgermill> batch = std::move(*place);
    m_batches.erase(place);
    m_keys.erase(BatchKey(*batch));
    m_unsaved.erase(batch.get());
    m_statisticsDue.erase(batch.get());
    return batch;
}

std::size_t CBatchCollection::AppendItems(STLedgermill& batch, LedgermillItemList& items) {
    const std::size_t before = batch.m_itemVector.size();
    // Refused items first, accepted ones after them, each in their order.
    const auto firstAccepted =
        std::stable_partition(items.begin(), items.end(), [&batch](const auto& item) {
            return !item->IsValidFor(batch.m_nTestModel, batch.m_nTestMethod);
        });
    batch.m_itemVector.insert(batch.m_itemVector.end(), std::make_move_iterator(firstAccepted),
                              std::make_move_iterator(items.end()));
    items.erase(firstAccepted, items.end());
    const std::size_t moved = batch.m_itemVector.size() - before;
    if (moved > 0) {
        m_unsaved.insert(&batch);
        m_statisticsDue.insert(&batch);
    }
    return moved;
}

void CBatchCollection::RemoveItem(STLedgermill& batch, std::size_t index) {
    if (index >= batch.m_itemVector.size()) {
        return;
    }
    batch.m_itemVector.erase(batch.m_itemVector.begin() + static_cast<std::ptrdiff_t>(index));
    batch.UpdateStatistics();
    m_statisticsDue.erase(&batch);
    m_unsaved.insert(&batch);
}

void CBatchCollection::SettleStatistics() {
    for (STLedgermill* batch : m_statisticsDue) {
        batch->UpdateStatistics();
    }
    m_statisticsDue.clear();
}
