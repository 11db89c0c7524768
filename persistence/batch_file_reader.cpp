#include "persistence/batch_file_reader.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "common/regular_file.h"
#include "persistence/archive_token_stream.h"
#include "persistence/batch_file.h"
#include "persistence/field_forms.h"
#include "persistence/item_name_index.h"
#include "persistence/serializer.h"
#include "persistence/shallow_fields.h"
#include "persistence/text_file.h"
#include "persistence/xml_parser.h"

namespace {

constexpr std::string_view kTimeField = "m_time";
constexpr std::string_view kItemVectorField = "m_itemVector";

// Depths of the elements the batch is read from, the root's being 1.
constexpr std::size_t kBatchDepth = 2;
constexpr std::size_t kFieldDepth = 3;
constexpr std::size_t kItemDepth = 4;
// An item's reader looks three levels below the item: field, map entry, key.
constexpr std::size_t kItemLevels = 3;

// Follows the tokens as CXmlParser nests them, but keeps only what ReadBatch
// reads: the first "STLedgermill" child of the root, the fields of that
// element, and in its first m_itemVector one item at a time. Everything
// else is only counted, so that the nesting stays right.
class CBatchStreamReader {
public:
    CBatchStreamReader(const STBatchLoadOptions& options, std::int64_t keptTime)
        : m_options(options), m_nKeptTime(keptTime) {}

    EBatchLoadResult Read(CArchiveTokenStream& tokens, STLedgermill& batch) {
        std::string_view token;
        std::string_view tag;
        std::string_view text;
        if (!tokens.Next(token)) {
            return tokens.Cancelled() ? EBatchLoadResult::kCancelled
                                      : EBatchLoadResult::kNotArchive;
        }
        if (!SplitOpeningToken(token, tag, text) ||
            WithoutCrLf(TagName(tag), m_strScratch) != kRootName) {
            return EBatchLoadResult::kNotArchive;
        }
        m_nDepth = 1;
        // Nothing after the batch element can change what ReadBatch reads.
        while (m_nDepth > 0 && !m_bBatchClosed && tokens.Next(token)) {
            if (!SplitOpeningToken(token, tag, text)) {
                Close();
            } else if (!Open(TagName(tag), text)) {
                return EBatchLoadResult::kRefused;
            }
        }
        if (tokens.Cancelled()) {
            return EBatchLoadResult::kCancelled;
        }
        if (tokens.Failed()) {
            return EBatchLoadResult::kNotArchive;
        }
        if (m_bItemOpen) {
            CloseItem();  // the file ended inside it
        }
        if (!m_bTimeAsked && !Accept(m_nKeptTime)) {
            return EBatchLoadResult::kRefused;
        }
        if (m_bBatchFound) {
            ReadBatchFieldsFromTree(m_batch, batch);
            batch.m_itemVector.reserve(batch.m_itemVector.size() + m_items.size());
            for (auto& item : m_items) {
                batch.m_itemVector.push_back(std::move(item));
            }
        }
        return EBatchLoadResult::kLoaded;
    }

private:
    // False when the batch's creation time was refused.
    bool Open(std::string_view name, std::string_view text) {
        const std::size_t depth = ++m_nDepth;
        if (depth == kBatchDepth) {
            if (!m_bBatchFound && WithoutCrLf(name, m_strScratch) == kBatchInstanceName) {
                m_bBatchFound = m_bInBatch = true;
                m_batch.Reset(kBatchInstanceName);
            }
            return true;
        }
        if (!m_bInBatch) {
            return true;
        }
        if (depth == kFieldDepth) {
            return OpenField(name, text);
        }
        if (!m_bInItemVector) {
            return true;
        }
        if (depth == kItemDepth) {
            OpenItem(name);
        } else if (m_bBuildingItem && depth - kItemDepth <= kItemLevels) {
            const std::size_t level = depth - kItemDepth;
            m_itemPath[level] = m_item.Add(m_itemPath[level - 1], name, text);
        }
        return true;
    }

    void Close() {
        const std::size_t depth = m_nDepth--;
        if (!m_bInBatch) {
            return;
        }
        if (depth == kItemDepth && m_bInItemVector) {
            CloseItem();
        } else if (depth == kFieldDepth) {
            m_bInItemVector = false;
        } else if (depth == kBatchDepth) {
            m_bInBatch = false;
            m_bBatchClosed = true;
        }
    }

    // Every field is kept; the first of each name is the one read.
    bool OpenField(std::string_view name, std::string_view text) {
        const std::size_t field = m_batch.Add(CShallowTree::kRoot, name, text);
        const std::string_view fieldName = m_batch.Name(field);
        if (fieldName == kItemVectorField && !m_bItemVectorSeen) {
            m_bItemVectorSeen = m_bInItemVector = true;
        } else if (fieldName == kTimeField && !m_bTimeSeen) {
            m_bTimeSeen = true;
            ReadScalarText(m_batch.Text(field), m_nKeptTime);
            return Accept(m_nKeptTime);
        }
        return true;
    }

    // An item repeating an earlier item's name reads that earlier element
    // again, so it is a copy of that item and its own elements go unread.
    void OpenItem(std::string_view name) {
        m_bItemOpen = true;
        const std::string_view itemName = WithoutCrLf(name, m_strScratch);
        const auto [first, isFirst] = m_firstOfName.FirstOf(itemName, m_items.size());
        m_bBuildingItem = isFirst;
        m_nCopyOf = first;
        if (isFirst) {
            m_item.Reset(itemName);
            m_itemPath[0] = CShallowTree::kRoot;
        }
    }

    void CloseItem() {
        m_bItemOpen = false;
        if (!m_bBuildingItem) {
            m_items.push_back(std::make_unique<STLedgermillItem>(*m_items[m_nCopyOf]));
            return;
        }
        auto item = std::make_unique<STLedgermillItem>();
        ReadItemFromTree(m_item, *item);
        m_items.push_back(std::move(item));
    }

    bool Accept(std::int64_t time) {
        m_bTimeAsked = true;
        return !m_options.m_fnAcceptTime || m_options.m_fnAcceptTime(time);
    }

    const STBatchLoadOptions& m_options;
    std::int64_t m_nKeptTime;  // the creation time the loaded batch will have
    std::size_t m_nDepth = 0;  // elements open
    bool m_bBatchFound = false;
    bool m_bInBatch = false;
    bool m_bBatchClosed = false;
    bool m_bItemVectorSeen = false;
    bool m_bInItemVector = false;
    bool m_bTimeSeen = false;
    bool m_bTimeAsked = false;
    bool m_bItemOpen = false;
    bool m_bBuildingItem = false;
    std::size_t m_nCopyOf = 0;
    CShallowTree m_batch;  // the batch element and its fields
    CShallowTree m_item;   // the item being read
    std::array<std::size_t, kItemLevels + 1> m_itemPath{};
    LedgermillItemList m_items;
    CItemNameIndex m_firstOfName;
    std::string m_strScratch;
};

EBatchLoadResult LoadFromSource(CArchiveTokenStream::Source source, std::uint64_t size,
                                STLedgermill& batch, const STBatchLoadOptions& options) {
    SwitchToUserLocaleOnce();  // as every file read through the tree does first
    if (options.m_pProgress != nullptr) {
        options.m_pProgress->m_nDone.store(0, std::memory_order_relaxed);
        options.m_pProgress->m_nTotal.store(size, std::memory_order_relaxed);
    }
    CArchiveTokenStream tokens(std::move(source), options.m_nChunkBytes, options.m_pCancel,
                               options.m_pProgress);
    return CBatchStreamReader(options, batch.m_time).Read(tokens, batch);
}

}  // namespace

EBatchLoadResult LoadBatchFile(const std::string& path, STLedgermill& batch,
                               const STBatchLoadOptions& options) {
    const CRegularFile file(path);
    if (!file.IsOpen()) {
        if (options.m_pFailure != nullptr) *options.m_pFailure = file.Failure();
        return EBatchLoadResult::kNotArchive;
    }
    const int descriptor = file.Descriptor();
    const auto read = [descriptor, &path, &options](char* buffer,
                                                    std::size_t capacity) -> std::ptrdiff_t {
        for (;;) {
            const ssize_t got = ::read(descriptor, buffer, capacity);
            if (got >= 0) return got;
            if (errno == EINTR) continue;
            if (options.m_pFailure != nullptr) *options.m_pFailure = path + ": " + std::strerror(errno);
            return -1;
        }
    };
    return LoadFromSource(read, file.Size(), batch, options);
}

EBatchLoadResult LoadBatchBytes(std::string_view bytes, STLedgermill& batch,
                                const STBatchLoadOptions& options) {
    const auto read = [bytes](char* buffer, std::size_t capacity) mutable -> std::ptrdiff_t {
        const std::size_t got = std::min(capacity, bytes.size());
        if (got > 0) {
            std::memcpy(buffer, bytes.data(), got);
            bytes.remove_prefix(got);
        }
        return static_cast<std::ptrdiff_t>(got);
    };
    return LoadFromSource(read, bytes.size(), batch, options);
}
