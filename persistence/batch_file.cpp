#include "persistence/batch_file.h"

#include "persistence/serializer.h"

namespace {

constexpr std::string_view kBatchClass = "STLedgermill";
constexpr std::string_view kItemClass = "STLedgermillItem";

// The fields of a batch, in file order.
struct BatchFields {
    template <class Batch, class Field>
    void operator()(Batch& batch, const Field& field) const {
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
};

// The fields of an item, in file order.
struct ItemFields {
    template <class Item, class Field>
    void operator()(Item& item, const Field& field) const {
        field("m_dMax", item.m_dMax);
        field("m_dMin", item.m_dMin);
        field("m_dAverage", item.m_dAverage);
        field("m_dStandardDeviation", item.m_dStandardDeviation);
        field("m_subItem", item.m_subItem);
        field("m_values", item.m_values);
    }
};

}  // namespace

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
