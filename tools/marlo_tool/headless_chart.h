// The report's chart drawn without a window, as the main window draws it
// for a batch on display.
#pragma once

#include <QGuiApplication>
#include <cstdint>
#include <memory>

#include "chart/chart_plot.h"
#include "model/ledgermill.h"

// The chart's client size in the main window.
inline constexpr std::int32_t kChartWidth = 611;
inline constexpr std::int32_t kChartHeight = 234;

// Fonts and the palette need an application; without a display it draws on
// the offscreen platform.
std::unique_ptr<QGuiApplication> StartDrawing();
// The batch's averages as the report image, bars coloured by the batch's
// limits when it uses them.
void DrawBatchChart(CChartPlot& plot, const STLedgermill& batch, std::int32_t width, std::int32_t height);
