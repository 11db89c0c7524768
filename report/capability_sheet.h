// The report's "Capability" worksheet: Cp, Cpk, pass rate and counts of the
// batch, the histogram of its item averages as a table, and a chart of the
// histogram with the limits drawn as lines.
#pragma once

#include "model/ledgermill.h"
#include "report/automation.h"

inline constexpr char16_t kCapabilitySheetName[] = u"Capability";

// Fills the worksheet, names it and fits its columns; a failing cell is
// skipped as on the first sheet.
void WriteCapabilitySheet(const CWorksheetPtr& sheet, const STLedgermill& batch);
