// The batches without a window: keys, marks, filing and its statistics, and
// the list models that show them.
#include "app/batch_collection.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/batch_list_model.h"
#include "app/measurement_list_model.h"

namespace {

std::unique_ptr<STLedgermill> Batch(std::int64_t time, int method = kTestMethodLeeb) {
    auto batch = std::make_unique<STLedgermill>();
    batch->m_time = time;
    batch->m_nTestMethod = method;
    return batch;
}

// A Leeb record (IMPACT) or a UCI one (F) with one reading.
std::unique_ptr<STLedgermillItem> Record(double reading, bool leeb = true) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem[u"NAME"] = u"P";
    item->m_subItem[leeb ? u"IMPACT" : u"F"] = u"D";
    item->m_values = {reading};
    item->UpdateStatistics();
    return item;
}

LedgermillItemList Records(std::initializer_list<double> readings, bool leeb = true) {
    LedgermillItemList items;
    for (const double reading : readings) {
        items.push_back(Record(reading, leeb));
    }
    return items;
}

// The row ranges a model announced for one kind of change.
struct SRowSpy {
    std::vector<std::pair<int, int>> m_ranges;
    template <class Signal>
    SRowSpy(QAbstractItemModel& model, Signal signal) {
        QObject::connect(&model, signal, [this](const QModelIndex&, int first, int last) {
            m_ranges.emplace_back(first, last);
        });
    }
};

}  // namespace

TEST(BatchCollection, KeysAreUniqueAndRowsFollowAddingAndRemoving) {
    CBatchCollection batches;
    EXPECT_EQ(batches.Add(Batch(1000)), 0);
    EXPECT_EQ(batches.Add(Batch(2000)), 1);
    EXPECT_EQ(batches.Add(Batch(1000)), -1);  // one batch a second
    EXPECT_EQ(batches.Count(), 2);
    STLedgermill* second = batches.At(1);
    batches.MarkUnsaved(batches.At(0));
    EXPECT_EQ(batches.RowOfKey(BatchKey(*second)), 1);

    const std::unique_ptr<STLedgermill> removed = batches.Remove(0);
    EXPECT_FALSE(batches.IsUnsaved(removed.get()));
    EXPECT_EQ(batches.RowOf(second), 0);
    EXPECT_EQ(batches.RowOfKey(BatchKey(*removed)), -1);
    EXPECT_EQ(batches.Add(Batch(1000)), 1);  // its key is free again
    EXPECT_EQ(batches.At(5), nullptr);
    EXPECT_EQ(batches.Remove(-1), nullptr);
}

TEST(BatchCollection, FilingMovesTheAcceptedItemsInOrderAndSettlesFiguresAsAWholeRecomputeWould) {
    CBatchCollection batches;
    batches.Add(Batch(1000));
    STLedgermill& batch = *batches.At(0);
    LedgermillItemList first = Records({448.5, 452.25});
    first.insert(first.begin() + 1, Record(300, false));  // a UCI record
    EXPECT_EQ(batches.AppendItems(batch, first), 2u);
    ASSERT_EQ(first.size(), 1u);  // the refused one stays
    EXPECT_EQ(first[0]->m_values[0], 300);
    LedgermillItemList second = Records({9.5, 470.125, 461});
    EXPECT_EQ(batches.AppendItems(batch, second), 3u);
    EXPECT_TRUE(batches.IsUnsaved(&batch));
    EXPECT_TRUE(batches.StatisticsDue(&batch));

    batches.SettleStatistics();
    EXPECT_FALSE(batches.StatisticsDue(&batch));
    STLedgermill recomputed(batch);
    recomputed.UpdateStatistics();
    EXPECT_EQ(batch.m_dAverage, recomputed.m_dAverage);  // the same sums in the same order
    EXPECT_EQ(batch.m_dStandardDeviation, recomputed.m_dStandardDeviation);
    EXPECT_EQ(batch.m_dMin, 448.5);
    ASSERT_EQ(batch.m_itemVector.size(), 5u);
    EXPECT_EQ(batch.m_itemVector[2]->m_values[0], 9.5);

    batches.MarkSaved(&batch);
    LedgermillItemList refused = Records({450}, false);
    EXPECT_EQ(batches.AppendItems(batch, refused), 0u);
    EXPECT_FALSE(batches.IsUnsaved(&batch));  // nothing changed

    batches.RemoveItem(batch, 0);
    EXPECT_EQ(batch.m_dMin, 452.25);
    EXPECT_TRUE(batches.IsUnsaved(&batch));
    batches.RemoveItem(batch, 99);  // past the end: nothing
    EXPECT_EQ(batch.m_itemVector.size(), 4u);
}

TEST(ListModels, AppendingAndRemovingTouchOnlyTheRowsConcernedAndSerialsFollowThePlace) {
    CBatchCollection batches;
    CBatchListModel batchModel(batches);
    batchModel.SetTitles({"S/N", "Time", "Model", "Method", "Count"});
    CMeasurementListModel leeb(kTestMethodLeeb);
    leeb.SetTitles({"S/N", "NAME", "HD SCALE", "IMPACT", "DIR", "VALUE", "DATE", "AVERAGE",
                    "RESULT"});
    const SRowSpy inserted(leeb, &QAbstractItemModel::rowsInserted);
    const SRowSpy removed(leeb, &QAbstractItemModel::rowsRemoved);
    int resets = 0;
    QObject::connect(&leeb, &QAbstractItemModel::modelReset, [&resets] { ++resets; });

    EXPECT_EQ(batchModel.AddBatch(Batch(1000)), 0);
    EXPECT_EQ(batchModel.AddBatch(Batch(1000)), -1);
    STLedgermill& batch = *batches.At(0);
    batch.m_dLowerLimit = 440;
    batch.m_dUpperLimit = 460;
    leeb.Show(&batch);
    LedgermillItemList items = Records({450, 470, 445});
    batches.AppendItems(batch, items);
    leeb.ShowAppendedItems();
    EXPECT_EQ(inserted.m_ranges, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(resets, 1);  // only Show resets
    EXPECT_EQ(leeb.index(1, 8).data().toString(), "NG");
    EXPECT_EQ(leeb.index(1, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_FALSE(leeb.index(0, 1).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(leeb.index(2, 7).data(Qt::ToolTipRole).toString(), "445.0");

    leeb.RemoveItem(batches, 0);
    EXPECT_EQ(removed.m_ranges, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(leeb.rowCount(), 2);
    EXPECT_EQ(leeb.index(0, 0).data().toString(), "1");
    EXPECT_EQ(leeb.index(0, 8).data().toString(), "NG");
    batchModel.CountChanged(batch);
    EXPECT_EQ(batchModel.index(0, 4).data().toString(), "2");

    leeb.Show(batches.At(0));
    CMeasurementListModel uci(kTestMethodUci);
    uci.Show(&batch);  // a Leeb batch has no rows in the UCI list
    EXPECT_EQ(uci.rowCount(), 0);
    batchModel.RemoveBatch(0);
    EXPECT_EQ(batchModel.rowCount(), 0);
}
