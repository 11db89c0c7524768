// Draws one plot state into its image: background and frame, both axes with
// ticks, grid and labels, and the bars coloured against the limits. Bars
// closer than a pixel are merged into one column a pixel, so that thousands
// of them still show which passed and which failed.
#pragma once

#include <QRectF>
#include <QString>
#include <cstdint>
#include <vector>

#include "chart/chart_plot.h"

struct STPaintRequest {
    const STChartResources* m_pResources;
    STPixelRect m_client;
    STPixelRect m_plot;
    // Stands for the desktop's menu colour behind the plot.
    QColor m_background;
    double m_dLimitLow;
    double m_dLimitHigh;
    // 0-based point whose bar to highlight with its value and a frame; -1
    // for none. A point without a value has no bar and shows nothing.
    std::int32_t m_nHighlight;
};

void PaintPlot(STPlotContext& context, const STPaintRequest& request);

// Half the width of a bar: three minor spacings wide for up to nine bars,
// one spacing for more.
std::int32_t BarHalfWidth(const STPlotContext& context);

// The rectangle of a bar standing on the plot bottom, kept inside the plot
// whatever the value; a value that is not a number gives no height.
STPixelRect BarRect(const STPlotContext& context, const STPixelRect& plot,
                    const STChartPoint& point);

// What a bar tells, ordered from what matters least to what matters most:
// no bar (a point without a value), a value of 10.0 or less (no valid
// reading), a value within the limits, one outside them.
enum class EBarKind : std::uint8_t { kNone, kLow, kPass, kFail };

// The colour rule of the bars: not above 10.0 is low whatever the limits;
// equal limits mean no limits and a pass; a value on a limit passes.
EBarKind JudgeBar(double y, double limitLow, double limitHigh);

// Consecutive ordinals stand less than a pixel apart: a pixel column holds
// several bars, which are then drawn merged (DenseBarColumns). Up to one
// ordinal a pixel every bar is drawn on its own.
bool IsDensePlot(const STPlotContext& context);

// One pixel column of a dense plot: the bars whose centre falls in it.
struct STBarColumn {
    // The top of its tallest bar, and at least one pixel above the plot
    // bottom so that no bar vanishes; the plot bottom for a column without
    // a bar.
    std::int32_t m_nTop = 0;
    // The kind that matters most among its bars: one NG makes the column NG.
    EBarKind m_eKind = EBarKind::kNone;
};

// The plot's pixel columns, left to right. A column is as tall as its
// tallest bar and coloured by its worst one, so an NG reading shows as a
// red column whether it lies above its neighbours or below them. Bars
// whose centre lies outside the plot join its first or last column.
// O(points + columns).
std::vector<STBarColumn> DenseBarColumns(const STPlotContext& context, const STPixelRect& plot,
                                         double limitLow, double limitHigh);

// Where a dense plot frames its highlighted bar: the bar's own height, one
// pixel either side of its column, so the frame stands beside the column
// and across it at the bar's value.
STPixelRect DenseHighlightRect(const STPlotContext& context, const STPixelRect& plot,
                               const STChartPoint& point);

// One point's place on the chart.
struct STBarSlot {
    STPixelRect m_rect;
    double m_dValue = 0.0;
    // False for a value that is not a number: the slot stays empty.
    bool m_bBar = false;
};

// The slots in the order of the points, so that the n-th slot is the n-th
// point whether or not the points before it have a value.
std::vector<STBarSlot> BarSlots(const STPlotContext& context, const STPixelRect& plot);

// A text and the rectangle it is drawn in.
struct STChartLabel {
    QRectF m_rect;
    QString m_text;
};

struct STAxisTick {
    // Along the axis, before and after rounding to a pixel.
    float m_fPosition = 0.0f;
    std::int32_t m_nPixel = 0;
    double m_dValue = 0.0;
    // Labelled, with a grid line across the plot.
    bool m_bMajor = false;
};

// The ticks every minor step from the plot's left edge (X) or bottom (Y) up
// to the first at or past the opposite edge; none for a plot of no extent.
std::vector<STAxisTick> XAxisTicks(const STChartScale& scale, const STPixelRect& plot);
std::vector<STAxisTick> YAxisTicks(const STChartScale& scale, const STPixelRect& plot);

// The labels of the major X ticks below the plot, as wide as their text and
// starting 5 pixels left of their tick; a label that would pass the
// client's right edge is moved left to end at it.
std::vector<STChartLabel> XAxisLabels(const STChartScale& scale, const STPixelRect& plot,
                                      const STPixelRect& client, const QFont& font);

// The value of a highlighted bar with one decimal, as the statistics and
// the report write it, centred 20 pixels above the bar and kept inside the
// client area.
STChartLabel HighlightLabel(const STPixelRect& bar, double value, const STPixelRect& client,
                            const QFont& font);
