#include "persistence/batch_file.h"

#include <type_traits>

#include "persistence/serializer.h"

namespace {

constexpr std::string_view kBatchClass = "STLedgermill";
constexpr std::string_view kItemClass = "STLedgermillItem";

// The fields of a batch in file order; Batch is const for writing.
template <class Batch, class Field>
void VisitBatchFields(Batch& batch, const Field& field) {
    field("m_nTestModel", batch.m_nTestModel);
    field("m_nTestMethod", batch.m_nTestMethod);
    field("m_dUpperLimit", batch.m_dUpperLimit);
    field("m_dLowerLimit", batch.m_dLowerLimit);
    field("m_bUseLimit", batch.m_bUseLimit);
    field("m_dMax", batch.m_dMax);
    field("m_dMin", batch.m_dMin);
    field("m_dAverage", batch.m_dAverage);
    field("m_dStandardDeviation", batch.m_dStandardDeviation);
    field("m_time", batch.m_time);
    field("m_itemVector", batch.m_itemVector);
}

template <class Item, class Field>
void VisitItemFields(Item& item, const Field& field) {
    field("m_dMax", item.m_dMax);
    field("m_dMin", item.m_dMin);
    field("m_dAverage", item.m_dAverage);
    field("m_dStandardDeviation", item.m_dStandardDeviation);
    field("m_subItem", item.m_subItem);
    field("m_values", item.m_values);
}

}  // namespace

void WriteBatch(const STLedgermill& batch, STXmlNode* parent, std::string_view name) {
    STXmlNode* record = CSerializer::WriteRecord(parent, name, kBatchClass);
    VisitBatchFields(batch, SerializerFieldWriter{record});
}

bool ReadBatch(const STXmlNode* parent, std::string_view name, STLedgermill& batch) {
    const STXmlNode* record = FindChild(parent, name);
    if (record == nullptr) {
        return false;
    }
    VisitBatchFields(batch, SerializerFieldReader{record});
    return true;
}

void WriteItem(const STLedgermillItem& item, STXmlNode* parent, std::string_view name) {
    STXmlNode* record = CSerializer::WriteRecord(parent, name, kItemClass);
    VisitItemFields(item, SerializerFieldWriter{record});
}

bool ReadItem(const STXmlNode* parent, std::string_view name, STLedgermillItem& item) {
    const STXmlNode* record = FindChild(parent, name);
    if (record == nullptr) {
        return false;
    }
    ReadItemElement(*record, item);
    return true;
}

void ReadItemElement(const STXmlNode& element, STLedgermillItem& item) {
    VisitItemFields(item, SerializerFieldReader{&element});
}
