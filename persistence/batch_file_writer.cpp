#include "persistence/batch_file_writer.h"

#include <fcntl.h>

#include "common/file_replace.h"
#include "persistence/archive_line_writer.h"
#include "persistence/batch_fields.h"
#include "persistence/batch_file.h"
#include "persistence/field_forms.h"
#include "common/file_output.h"
#include "persistence/serializer.h"
#include "persistence/text_file.h"

namespace {

// Writes each field of a record as CSerializer's field writers would add it
// to the tree.
struct STStreamFieldWriter {
    CArchiveLineWriter& m_writer;
    STFileProgress* m_pProgress;
    std::string& m_text;  // reused for every scalar's text

    template <class Value>
    void operator()(std::string_view name, const Value& value) const {
        m_text.clear();
        AppendScalarText(m_text, value);
        m_writer.Scalar(name, ScalarClass(value), m_text);
    }

    void operator()(std::string_view name, const LedgermillItemList& items) const {
        m_writer.Open(name, kItemVectorClass);
        // After a failed write the rest would go nowhere.
        for (std::size_t i = 0; i < items.size() && !m_writer.Failed(); ++i) {
            const std::string itemName = ItemName(i);
            m_writer.Open(itemName, kItemClass);
            ItemFields{}(*items[i], *this);
            m_writer.Close(itemName);
            if (m_pProgress != nullptr) {
                m_pProgress->m_nDone.store(i + 1, std::memory_order_relaxed);
            }
        }
        m_writer.Close(name);
    }

    void operator()(std::string_view name, const SubItemMap& map) const {
        m_writer.Open(name, kSubItemMapClass);
        std::size_t index = 0;
        for (const auto& [key, value] : map) {
            const std::string entryName = ItemName(index++);
            m_writer.Open(entryName, "");
            (*this)(kMapKey, std::u16string_view(key));
            (*this)(kMapValue, std::u16string_view(value));
            m_writer.Close(entryName);
        }
        m_writer.Close(name);
    }

    void operator()(std::string_view name, const std::vector<double>& values) const {
        m_writer.Open(name, kValueVectorClass);
        for (std::size_t i = 0; i < values.size(); ++i) {
            (*this)(ItemName(i), values[i]);
        }
        m_writer.Close(name);
    }
};

// Starts the disk's writing behind the buffer every few megabytes, so that
// the sync before the file replaces the old one finds little left to do and
// the disk works while the text is made.
class CWriteBehind {
public:
    explicit CWriteBehind(int fd) : m_fd(fd) {}

    bool Write(std::string_view bytes) {
        if (!WriteAllBytes(m_fd, bytes)) {
            return false;
        }
        m_nWritten += static_cast<off_t>(bytes.size());
        if (m_nWritten - m_nStarted >= kStepBytes) {
            // Only a hint: the sync before the rename is what counts.
            ::sync_file_range(m_fd, m_nStarted, m_nWritten - m_nStarted, SYNC_FILE_RANGE_WRITE);
            m_nStarted = m_nWritten;
        }
        return true;
    }

private:
    static constexpr off_t kStepBytes = 8 << 20;
    int m_fd;
    off_t m_nWritten = 0;
    off_t m_nStarted = 0;  // writing started for the bytes before this
};

bool WriteBatchText(int fd, const STLedgermill& batch, STFileProgress* progress,
                    std::size_t bufferBytes) {
    CWriteBehind file(fd);
    CArchiveLineWriter writer([&file](std::string_view bytes) { return file.Write(bytes); },
                              bufferBytes);
    writer.Open(kRootName, "");
    writer.Open(kBatchInstanceName, kBatchClass);
    std::string text;
    BatchFields{}(batch, STStreamFieldWriter{writer, progress, text});
    writer.Close(kBatchInstanceName);
    writer.Close(kRootName);
    return writer.Finish();
}

}  // namespace

bool SaveBatchFile(const std::string& path, const STLedgermill& batch, STFileProgress* progress,
                   std::size_t bufferBytes) {
    SwitchToUserLocaleOnce();  // as every save through the tree does first
    if (progress != nullptr) {
        progress->m_nDone.store(0, std::memory_order_relaxed);
        progress->m_nTotal.store(batch.m_itemVector.size(), std::memory_order_relaxed);
    }
    return ReplaceFile(path, [&](const std::string& temporary) {
        return WriteNewFile(temporary, [&](int fd) {
            return WriteBatchText(fd, batch, progress, bufferBytes);
        });
    });
}

bool WriteBatchStream(int fd, const STLedgermill& batch) {
    SwitchToUserLocaleOnce();
    return WriteBatchText(fd, batch, nullptr, kBatchFileChunkBytes);
}
