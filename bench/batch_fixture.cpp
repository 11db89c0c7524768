#include "batch_fixture.h"

#include <memory>

#include "common/time_text.h"
#include "persistence/batch_file.h"
#include "persistence/batch_file_reader.h"
#include "persistence/batch_file_writer.h"
#include "persistence/serializer.h"

namespace {

// "P0001": record names are ASCII.
std::u16string RecordName(std::size_t index) {
    std::string digits = std::to_string(index);
    digits.insert(0, digits.size() < 4 ? 4 - digits.size() : 0, '0');
    return u"P" + std::u16string(digits.begin(), digits.end());
}

std::unique_ptr<STLedgermillItem> TesterItem(std::size_t index) {
    auto item = std::make_unique<STLedgermillItem>();
    item->m_subItem = {{u"NAME", RecordName(index)},
                       {u"HD", u"HLD"},
                       {u"IMPACT", u"D"},
                       {u"DIR", u"90"},
                       {u"VALUE", u"448,452,460,455,449"},
                       {u"DATE", u"2016-05-04 10:20:30"}};
    item->m_values = {448.0, 452.0, 460.0, 455.0, 449.0};
    item->UpdateStatistics();
    return item;
}

bool LoadThroughTree(const std::string& path, STLedgermill& batch) {
    CSerializer archive;
    if (!archive.OpenForRead(path)) {
        return false;
    }
    ReadBatch(archive.GetRoot(), kBatchInstanceName, batch);
    return true;
}

}  // namespace

STLedgermill TesterBatch(std::size_t count) {
    STLedgermill batch;
    batch.m_nTestMethod = kTestMethodLeeb;
    batch.m_dLowerLimit = 400.0;
    batch.m_dUpperLimit = 500.0;
    for (std::size_t i = 1; i <= count; ++i) {
        batch.AddItem(TesterItem(i));
    }
    batch.UpdateStatistics();
    return batch;
}

bool SaveBatch(const STLedgermill& batch, const std::string& path, EBatchFileRoute route) {
    if (route == EBatchFileRoute::kStream) {
        return SaveBatchFile(path, batch);
    }
    CSerializer archive;
    archive.OpenForWrite();
    WriteBatch(batch, archive.GetRoot(), kBatchInstanceName);
    return archive.SaveFile(path);
}

bool LoadBatch(const std::string& path, STLedgermill& batch, EBatchFileRoute route) {
    if (route == EBatchFileRoute::kStream) {
        return LoadBatchFile(path, batch) == EBatchLoadResult::kLoaded;
    }
    return LoadThroughTree(path, batch);
}

// Both compare the keys the window lists batches by.
bool RefuseListedBatch(const std::string& path, std::int64_t listedTime, EBatchFileRoute route) {
    const std::u16string listedKey = FormatTime(0, listedTime);
    STLedgermill loaded;
    if (route == EBatchFileRoute::kStream) {
        STBatchLoadOptions options;
        options.m_fnAcceptTime = [&listedKey](std::int64_t time) {
            return FormatTime(0, time) != listedKey;
        };
        return LoadBatchFile(path, loaded, options) == EBatchLoadResult::kRefused;
    }
    return LoadThroughTree(path, loaded) && FormatTime(0, loaded.m_time) == listedKey;
}
