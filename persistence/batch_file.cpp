#include "persistence/batch_file.h"

#include "persistence/batch_fields.h"
#include "persistence/serializer.h"

void WriteBatch(const STLedgermill& batch, STXmlNode* parent, std::string_view name) {
    WriteRecordElement(batch, parent, name, kBatchClass, BatchFields{});
}

bool ReadBatch(const STXmlNode* parent, std::string_view name, STLedgermill& batch) {
    return ReadRecordElement(parent, name, batch, BatchFields{});
}

void WriteItem(const STLedgermillItem& item, STXmlNode* parent, std::string_view name) {
    WriteRecordElement(item, parent, name, kItemClass, ItemFields{});
}

bool ReadItem(const STXmlNode* parent, std::string_view name, STLedgermillItem& item) {
    return ReadRecordElement(parent, name, item, ItemFields{});
}

void ReadItemElement(const STXmlNode& element, STLedgermillItem& item) {
    ItemFields{}(item, SerializerFieldReader{&element});
}
