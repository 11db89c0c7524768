// The instrument's transmission text: records separated by an empty line
// (CR LF CR LF), lines separated by CR LF, each line "key: value", the last
// line of a transmission a DATE line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/ledgermill_item.h"

// Appends one item per record, in order, each with its fields, readings and
// statistics. Nothing is rejected: lines without the key/value form are
// skipped, and an empty record still gives an empty item. Received bytes are
// framed into records first (record_framer.h). text is trimmed in place.
void ParseRecordText(std::u16string& text, LedgermillItemList& items);
// ParseRecordText on each text of records, such as the framer's whole
// records, in order.
void ParseRecordTexts(std::vector<std::u16string>& records, LedgermillItemList& items);

// Whether the last line of text begins with key, ASCII case ignored.
bool LastLineStartsWith(std::u16string_view key, std::u16string_view text);
