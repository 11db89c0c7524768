// The report's chart: the batch's item averages as the chart's report image,
// and that image as the report's bitmap file.
#pragma once

#include <string>

#include "chart/chart_plot.h"
#include "model/ledgermill.h"

// Bars numbered from 1 in item order, coloured by the chart's current limits.
void DrawBatchReportImage(CChartPlot& chart, const STLedgermill& batch);
bool WriteReportBitmap(const CChartPlot& chart, const std::u16string& path);
