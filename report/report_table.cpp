#include "report/report_table.h"

#include <algorithm>
#include <climits>

#include "common/number_text.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"

namespace {

constexpr std::u16string_view kLimitNotUsed = u"not used";

std::u16string SubText(const STLedgermillItem& item, std::u16string_view key) {
    const auto found = item.m_subItem.find(key);
    return found == item.m_subItem.end() ? std::u16string() : found->second;
}

std::u16string LimitText(const STLedgermill& batch, double limit) {
    return batch.m_bUseLimit ? DoubleToText(limit) : std::u16string(kLimitNotUsed);
}

std::int32_t ItemCount(const STLedgermill& batch) {
    return static_cast<std::int32_t>(std::min<std::size_t>(batch.m_itemVector.size(), INT32_MAX));
}

}  // namespace

std::vector<STTableColumn> MeasurementColumns(std::int32_t testMethod) {
    if (testMethod == kTestMethodLeeb) {
        return {{u"S/N", 0.8},   {u"NAME", 1.4},  {u"HD SCALE", 1.1}, {u"IMPACT", 1.0},
                {u"DIR", 0.7},   {u"VALUE", 1.0}, {u"DATE", 2.0},     {u"NG/Pass", 1.0}};
    }
    return {{u"S/N", 0.8},   {u"NAME", 1.5}, {u"HD SCALE", 1.2}, {u"FORCE", 1.1},
            {u"VALUE", 1.1}, {u"DATE", 2.1}, {u"NG/Pass", 1.0}};
}

STTableRow MeasurementRow(const STLedgermill& batch, std::int32_t number, const STLedgermillItem& item) {
    STTableRow row;
    row.m_bPass = batch.IsPass(item);
    row.m_cells.reserve(8);
    row.m_cells.push_back(IntToText(number));
    row.m_cells.push_back(SubText(item, kKeyName));
    row.m_cells.push_back(SubText(item, kKeyHardnessScale));
    if (batch.m_nTestMethod == kTestMethodLeeb) {
        row.m_cells.push_back(SubText(item, kKeyImpact));
        const auto direction = item.m_subItem.find(kKeyDirection);
        row.m_cells.push_back(direction == item.m_subItem.end() ? std::u16string()
                                                                : DirectionLabel(direction->second));
    } else {
        row.m_cells.push_back(SubText(item, kKeyForce));
    }
    row.m_cells.push_back(DoubleToText(item.m_dAverage));
    row.m_cells.push_back(SubText(item, kKeyDate));
    row.m_cells.push_back(row.m_bPass ? u"Pass" : u"NG");
    return row;
}

STParameterTexts ParameterTexts(const STLedgermill& batch, double samplingRate) {
    return {{u"Lower Limit", u"Upper Limit", u"Sampling Rate", u"Quantity", u"Test Model", u"Test Method"},
            {LimitText(batch, batch.m_dLowerLimit), LimitText(batch, batch.m_dUpperLimit),
             DoubleToText(samplingRate) + u"%", IntToText(ItemCount(batch)),
             batch.m_nTestModel == kTestModelBatch ? u"Batch" : u"Average",
             batch.m_nTestMethod == kTestMethodUci ? u"UCI" : u"Leeb"}};
}

STParameterTexts SummaryTexts(const STLedgermill& batch) {
    return {{u"Total", u"Average", u"Min", u"Max", u"Deviation"},
            {IntToText(ItemCount(batch)), DoubleToText(batch.m_dAverage), DoubleToText(batch.m_dMin),
             DoubleToText(batch.m_dMax), DoubleToText(batch.m_dStandardDeviation)}};
}
