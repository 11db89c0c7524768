// The batches of a run, without widgets: their order in the batch list, their
// keys (the creation-time text: at most one batch a second), which have
// changes not yet saved, which have statistics still to settle after items
// were appended, and which are held by long work that reads them off the
// window's thread.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/ledgermill.h"

// A batch's key: its creation time as "YYYY-MM-DD hh:mm:ss".
std::u16string BatchKey(const STLedgermill& batch);

class CBatchCollection {
public:
    int Count() const { return static_cast<int>(m_batches.size()); }
    // Null outside 0 .. Count() - 1.
    STLedgermill* At(int row) const;
    // -1 for a batch not listed.
    int RowOf(const STLedgermill* batch) const;
    int RowOfKey(const std::u16string& key) const;

    // Appends the batch at the end; -1, with the batch dropped, when a batch
    // with its key is listed already.
    int Add(std::unique_ptr<STLedgermill> batch);
    // Takes the batch out of the list, forgetting its marks.
    std::unique_ptr<STLedgermill> Remove(int row);

    bool IsUnsaved(const STLedgermill* batch) const { return m_unsaved.contains(batch); }
    bool AnyUnsaved() const { return !m_unsaved.empty(); }
    std::size_t UnsavedCount() const { return m_unsaved.size(); }
    void MarkUnsaved(const STLedgermill* batch) { m_unsaved.insert(batch); }
    void MarkSaved(const STLedgermill* batch) { m_unsaved.erase(batch); }

    // Moves the items the batch accepts to its end, in order, leaving the
    // refused ones in items; the number moved. The batch's statistics are
    // due afterwards: filing bursts settle them once, not once per record.
    std::size_t AppendItems(STLedgermill& batch, LedgermillItemList& items);
    // Removes the item at index (0-based) and settles the statistics.
    void RemoveItem(STLedgermill& batch, std::size_t index);
    bool StatisticsDue(const STLedgermill* batch) const { return m_statisticsDue.contains(batch); }
    // Recomputes the figures of every batch whose statistics are due.
    void SettleStatistics();

    // A batch read by long work on another thread must not change until the
    // work has ended; the commands that change batches ask first.
    void Hold(const STLedgermill* batch) { m_held.insert(batch); }
    void Release(const STLedgermill* batch) { m_held.erase(batch); }
    bool IsHeld(const STLedgermill* batch) const { return m_held.contains(batch); }

private:
    std::vector<std::unique_ptr<STLedgermill>> m_batches;
    std::map<std::u16string, const STLedgermill*> m_keys;
    std::set<const STLedgermill*> m_unsaved;
    std::set<STLedgermill*, std::less<>> m_statisticsDue;
    std::multiset<const STLedgermill*> m_held;
};
