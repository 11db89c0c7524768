// The report's measurement table as texts: its columns for the batch's test
// method and one item's row, as the workbook and the printed report show it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/ledgermill.h"

struct STTableColumn {
    std::u16string m_strTitle;
    // Share of the table's width, relative to the other columns.
    double m_dWeight = 1.0;
};

// Leeb: S/N, NAME, HD SCALE, IMPACT, DIR, VALUE, DATE, NG/Pass;
// UCI: S/N, NAME, HD SCALE, FORCE, VALUE, DATE, NG/Pass.
std::vector<STTableColumn> MeasurementColumns(std::int32_t testMethod);

struct STTableRow {
    std::vector<std::u16string> m_cells;
    bool m_bPass = true;
};

// The row of the number-th item (from 1), one text a column; the value with
// one decimal, the judgement by the batch's limits.
STTableRow MeasurementRow(const STLedgermill& batch, std::int32_t number, const STLedgermillItem& item);

// The parameters block: titles and texts, in the order shown.
struct STParameterTexts {
    std::vector<std::u16string> m_titles;
    std::vector<std::u16string> m_values;
};
STParameterTexts ParameterTexts(const STLedgermill& batch, double samplingRate);

// Total, Average, Min, Max and Deviation.
STParameterTexts SummaryTexts(const STLedgermill& batch);
