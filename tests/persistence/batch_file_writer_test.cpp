// The streaming batch file writer against the tree it replaces: the same
// bytes for every batch, whatever the buffer size. files_test.cpp checks
// that both replace a file whole or not at all.
#include "persistence/batch_file_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>

#include "persistence/batch_file.h"
#include "persistence/batch_file_reader.h"
#include "persistence/serializer.h"
#include "support/batch_difference.h"
#include "support/temp_folder.h"
#include "support/worked_example.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::unique_ptr<STLedgermillItem> MakeItem(SubItemMap fields, std::vector<double> values) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem = std::move(fields);
    item->m_values = std::move(values);
    item->UpdateStatistics();
    return item;
}

STLedgermill Empty() {
    STLedgermill batch;
    batch.m_time = 0;
    return batch;
}

STLedgermill OddTextsAndNumbers() {
    STLedgermill batch;
    batch.m_nTestModel = -1;
    batch.m_nTestMethod = std::numeric_limits<std::int32_t>::max();
    batch.m_bUseLimit = false;
    batch.m_dUpperLimit = kInf;
    batch.m_dLowerLimit = -kInf;
    batch.m_dMax = kNaN;
    batch.m_dMin = -0.0;
    batch.m_dAverage = 1e300;
    batch.m_dStandardDeviation = std::numeric_limits<double>::denorm_min();
    batch.m_time = std::numeric_limits<std::int64_t>::min();
    batch.AddItem(MakeItem({}, {}));
    batch.AddItem(MakeItem({{u"<&>'\"", u"a\nb\r\nc"}, {u"Zo\u00EB", u"\U0001F600 \u6E2C"}, {u"", u""}},
                           {kNaN, -kInf, kInf, -0.0, 0.1234565, 2.5e-7}));
    auto figures = MakeItem({{u"NAME", u"P1"}}, {448});
    figures->m_dMax = kNaN;
    figures->m_dAverage = -kInf;
    batch.AddItem(std::move(figures));
    return batch;
}

STLedgermill ManyItems(std::size_t count) {
    STLedgermill batch;
    batch.m_time = 1462357230;
    for (std::size_t i = 0; i < count; ++i) {
        const auto name = u"P" + std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
        batch.AddItem(MakeItem({{u"NAME", name}, {u"HD", u"HLD"}, {u"VALUE", u"448,452"}},
                               {448.0 + static_cast<double>(i % 17), 452.0, 460.25}));
    }
    batch.UpdateStatistics();
    return batch;
}

struct STWriteCase {
    const char* m_pLabel;
    STLedgermill (*m_make)();
    std::vector<std::size_t> m_bufferSizes;
};

class BatchFileWriter : public TempFolder {
protected:
    std::string TreeSaved(const STLedgermill& batch) {
        CSerializer archive;
        archive.OpenForWrite();
        WriteBatch(batch, archive.GetRoot(), kBatchInstanceName);
        EXPECT_TRUE(archive.SaveFile(PathOf("tree.hdb")));
        return ReadBytes("tree.hdb");
    }
};

}  // namespace

TEST_F(BatchFileWriter, WritesTheTreesBytesAtEveryBufferSize) {
    const std::vector<STWriteCase> cases{
        {"worked example", WorkedExampleBatch, {1, 2, 3, 7, 100, kBatchFileChunkBytes}},
        {"empty", Empty, {1, 5, kBatchFileChunkBytes}},
        {"odd texts and numbers", OddTextsAndNumbers, {1, 3, 64, kBatchFileChunkBytes}},
        {"3000 items", [] { return ManyItems(3000); }, {4096, 65536, kBatchFileChunkBytes}},
    };
    for (const STWriteCase& test : cases) {
        const STLedgermill batch = test.m_make();
        const std::string expected = TreeSaved(batch);
        for (const std::size_t buffer : test.m_bufferSizes) {
            ASSERT_TRUE(SaveBatchFile(PathOf("streamed.hdb"), batch, nullptr, buffer));
            EXPECT_EQ(ReadBytes("streamed.hdb"), expected) << test.m_pLabel << ", " << buffer;
        }
        // And the streaming reader reads back what the tree reads.
        STLedgermill streamed;
        STLedgermill tree = streamed;
        ASSERT_EQ(LoadBatchFile(PathOf("streamed.hdb"), streamed), EBatchLoadResult::kLoaded);
        CSerializer archive;
        ASSERT_TRUE(archive.OpenForRead(PathOf("streamed.hdb")));
        ReadBatch(archive.GetRoot(), kBatchInstanceName, tree);
        EXPECT_EQ(BatchDifference(streamed, tree), "") << test.m_pLabel;
        EXPECT_EQ(streamed.m_itemVector.size(), batch.m_itemVector.size());
    }
    std::ifstream golden(std::string(MARLO_TEST_DATA) + "/worked_example.hdb", std::ios::binary);
    ASSERT_TRUE(SaveBatchFile(PathOf("example.hdb"), WorkedExampleBatch()));
    EXPECT_EQ(ReadBytes("example.hdb"), std::string(std::istreambuf_iterator<char>(golden), {}));
}

TEST_F(BatchFileWriter, CountsTheItemsWritten) {
    STFileProgress progress;
    progress.m_nDone = 99;
    ASSERT_TRUE(SaveBatchFile(PathOf("batch.hdb"), ManyItems(250), &progress, 512));
    EXPECT_EQ(progress.m_nTotal, 250u);
    EXPECT_EQ(progress.m_nDone, 250u);
}
