// A batch in a .hdb file: one "STLedgermill" record under the root, its
// items as "STLedgermillItem" records in its m_itemVector.
#pragma once

#include <string_view>

#include "model/ledgermill.h"
#include "persistence/xml_node.h"

inline constexpr std::string_view kBatchInstanceName = "STLedgermill";

void WriteBatch(const STLedgermill& batch, STXmlNode* parent, std::string_view name);
// False when parent is null or has no child of that name. Fields found
// replace the batch's; the items found are appended. Statistics are taken as
// stored, never recomputed.
bool ReadBatch(const STXmlNode* parent, std::string_view name, STLedgermill& batch);

void WriteItem(const STLedgermillItem& item, STXmlNode* parent, std::string_view name);
bool ReadItem(const STXmlNode* parent, std::string_view name, STLedgermillItem& item);
// The fields of one item element.
void ReadItemElement(const STXmlNode& element, STLedgermillItem& item);
