#include "fuzz/persistence_fuzz_body.h"

#include <string>
#include <vector>

#include "common/text.h"
#include "persistence/batch_file.h"
#include "persistence/batch_file_reader.h"
#include "persistence/serializer.h"
#include "persistence/setting.h"
#include "persistence/text_file.h"
#include "persistence/xml_parser.h"
#include "support/batch_difference.h"

namespace {

// The text as ReadTextFile delivers a file: CR LF arrives as LF.
std::string FileText(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    CollapseCrLf(text);
    return text;
}

XmlDocument Parse(const std::string& text) {
    XmlDocument document;
    CXmlParser().ParseDocument(text, document);
    return document;
}

// The root as CSerializer::OpenForRead accepts it; null otherwise.
const STXmlNode* ArchiveRoot(const XmlDocument& document) {
    if (document.empty() || document.front()->m_strName != kRootName) {
        return nullptr;
    }
    return document.front().get();
}

// The text of a document holding only this batch, as a save writes it.
std::string BatchText(const STLedgermill& batch) {
    XmlDocument document;
    WriteBatch(batch, CreateChild(nullptr, kRootName, "", document), kBatchInstanceName);
    return CXmlParser().WriteDocument(document);
}

// A batch read from the tree, saved, loaded and saved again gives the same
// text both times.
bool BatchRoundTripHolds(const STXmlNode& root) {
    STLedgermill batch;
    if (!ReadBatch(&root, kBatchInstanceName, batch)) {
        return true;
    }
    // What the window does with a loaded batch: figures and pass marks.
    for (const auto& item : batch.m_itemVector) {
        item->UpdateStatistics();
    }
    batch.UpdateStatistics();
    for (const auto& item : batch.m_itemVector) {
        static_cast<void>(batch.IsPass(*item));
    }
    const std::string saved = BatchText(batch);
    const XmlDocument reloaded = Parse(saved);
    STLedgermill copy;
    return ReadBatch(ArchiveRoot(reloaded), kBatchInstanceName, copy) && BatchText(copy) == saved;
}

// The parser ends an element name at the first space only, so a name read
// from a damaged file can end in a TAB, CR or LF that the next read trims
// away. Such a tree is not written back unchanged; it is left out of the
// comparison.
bool HasNameEndingInWhiteSpace(const XmlDocument& document) {
    std::vector<const STXmlNode*> pending;
    for (const auto& top : document) {
        pending.push_back(top.get());
    }
    while (!pending.empty()) {
        const STXmlNode* node = pending.back();
        pending.pop_back();
        if (!node->m_strName.empty() && IsWhiteSpace(node->m_strName.back())) {
            return true;
        }
        for (const auto& child : node->m_children) {
            pending.push_back(child.get());
        }
    }
    return false;
}

// The streaming reader, fed the raw bytes in small chunks so that tokens and
// CR LF pairs fall across their boundaries, gives the tree's batch.
bool StreamMatchesTree(const std::uint8_t* data, std::size_t size, const STXmlNode* root) {
    const STLedgermill base;
    STLedgermill tree = base;
    if (root != nullptr) {
        ReadBatch(root, kBatchInstanceName, tree);
    }
    STLedgermill streamed = base;
    STBatchLoadOptions options;
    options.m_nChunkBytes = 1 + size % 7;
    const EBatchLoadResult result =
        LoadBatchBytes(std::string_view(reinterpret_cast<const char*>(data), size), streamed, options);
    const EBatchLoadResult expected =
        root != nullptr ? EBatchLoadResult::kLoaded : EBatchLoadResult::kNotArchive;
    return result == expected && BatchDifference(streamed, tree).empty();
}

}  // namespace

bool FuzzPersistenceInput(const std::uint8_t* data, std::size_t size) {
    SwitchToUserLocaleOnce();  // as every file read does first
    const XmlDocument document = Parse(FileText(data, size));

    bool batchHolds = true;
    if (const STXmlNode* root = ArchiveRoot(document)) {
        STSetting setting;
        ReadSetting(root, kSettingInstanceName, setting);
        batchHolds = BatchRoundTripHolds(*root);
    }

    const std::string written = CXmlParser().WriteDocument(document);
    const bool treeHolds = HasNameEndingInWhiteSpace(document) ||
                           CXmlParser().WriteDocument(Parse(written)) == written;
    return treeHolds && batchHolds && StreamMatchesTree(data, size, ArchiveRoot(document));
}
