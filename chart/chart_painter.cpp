#include "chart/chart_painter.h"

#include "chart/bar_canvas.h"
#include "chart/line_canvas.h"
#include "common/number_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// Far beyond any image, yet safe to add and subtract in int32.
constexpr double kPixelLimit = 1 << 24;

// Truncated toward zero like the pixel arithmetic it stands for, but held
// within kPixelLimit: huge or non-finite values never overflow.
std::int32_t ToPixel(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(value, -kPixelLimit, kPixelLimit));
}

// A tick loop ends at the axis end; on top of that it never runs longer than
// the ticks an axis has, so no scale can keep it going.
std::int32_t MostTicks(const STChartScale& scale) {
    return scale.m_nDivisions * scale.m_nSubdivisions + 2;
}

bool IsMajorTick(std::int32_t i, const STChartScale& scale) {
    return i != 0 && scale.m_nSubdivisions > 0 && i % scale.m_nSubdivisions == 0;
}

QString LabelText(double value) {
    return QString::number(value, 'f', 0);
}

// Where a plot is painted: pixels straight into its image through the
// image's device grid, text through a painter at the image's ratio. The
// raster painter draws straight into the image's memory as well, so the two
// stay in the order they are called in.
struct STCanvas {
    QImage* m_pImage;
    STDeviceGrid m_grid;
    QPainter* m_pPainter;
};

void PaintBackground(const STCanvas& canvas, const STPaintRequest& request) {
    const STPixelRect& plot = request.m_plot;
    const STChartResources& resources = *request.m_pResources;
    FillCells(*canvas.m_pImage, canvas.m_grid, request.m_client, request.m_background);
    FrameCells(*canvas.m_pImage, canvas.m_grid,
               {plot.m_nLeft - 1, plot.m_nTop - 1, plot.m_nRight + 1, plot.m_nBottom + 1},
               resources.m_framePen.color());
    FillCells(*canvas.m_pImage, canvas.m_grid, plot, resources.m_plotBackground.color());
}

void PaintXAxis(const STCanvas& canvas, const STChartScale& scale, const STPaintRequest& request) {
    const STPixelRect& plot = request.m_plot;
    const STChartResources& resources = *request.m_pResources;
    QImage& image = *canvas.m_pImage;
    for (const STAxisTick& tick : XAxisTicks(scale, plot)) {
        const std::int32_t x = tick.m_nPixel;
        if (tick.m_bMajor) {
            StrokeColumn(image, canvas.m_grid, resources.m_gridPen, x, plot.m_nTop, plot.m_nBottom);
            StrokeColumn(image, canvas.m_grid, resources.m_tickPen, x, plot.m_nBottom + 1,
                         plot.m_nBottom + 9);
        } else {
            StrokeColumn(image, canvas.m_grid, resources.m_tickPen, x, plot.m_nBottom + 1,
                         plot.m_nBottom + 5);
        }
    }
    QPainter& painter = *canvas.m_pPainter;
    painter.setFont(resources.m_axisFont);
    painter.setPen(resources.m_textColour);
    for (const STChartLabel& label :
         XAxisLabels(scale, plot, request.m_client, resources.m_axisFont)) {
        painter.drawText(label.m_rect, Qt::AlignLeft | Qt::AlignVCenter, label.m_text);
    }
}

void PaintYAxis(const STCanvas& canvas, const STChartScale& scale, const STPaintRequest& request) {
    const STPixelRect& plot = request.m_plot;
    const STChartResources& resources = *request.m_pResources;
    QImage& image = *canvas.m_pImage;
    QPainter& painter = *canvas.m_pPainter;
    painter.setFont(resources.m_axisFont);
    painter.setPen(resources.m_textColour);
    for (const STAxisTick& tick : YAxisTicks(scale, plot)) {
        const std::int32_t y = tick.m_nPixel;
        if (tick.m_bMajor) {
            StrokeRow(image, canvas.m_grid, resources.m_gridPen, y, plot.m_nLeft, plot.m_nRight);
            StrokeRow(image, canvas.m_grid, resources.m_tickPen, y, plot.m_nLeft - 2,
                      plot.m_nLeft - 10);
            painter.drawText(QRectF(0, tick.m_fPosition - 8, plot.m_nLeft - 10, 15),
                             Qt::AlignRight | Qt::AlignVCenter, LabelText(tick.m_dValue));
        } else {
            StrokeRow(image, canvas.m_grid, resources.m_tickPen, y, plot.m_nLeft - 2,
                      plot.m_nLeft - 6);
        }
    }
}

// Ticks every minor step from origin, rightward (direction 1) or upward
// (-1), up to the first at or past length pixels away.
std::vector<STAxisTick> AxisTicks(const STChartScale& scale, std::int32_t origin,
                                  std::int32_t length, double direction) {
    std::vector<STAxisTick> ticks;
    if (length <= 0) {
        return ticks;
    }
    std::int32_t i = 0;
    double v = 0.0;
    std::int32_t pixel = 0;
    do {
        const auto position = static_cast<float>(origin + direction * (v * scale.m_dPixelsPerUnit));
        pixel = ToPixel(position + 0.5f);
        ticks.push_back({position, pixel, v, IsMajorTick(i, scale)});
        v += scale.m_dMinorStep;
        ++i;
    } while (direction * (pixel - origin) < length && i < MostTicks(scale));
    return ticks;
}

const QBrush& KindBrush(EBarKind kind, const STChartResources& resources) {
    switch (kind) {
        case EBarKind::kFail:
            return resources.m_failBrush;
        case EBarKind::kPass:
            return resources.m_passBrush;
        case EBarKind::kLow:
        case EBarKind::kNone:
            break;
    }
    return resources.m_lowValueBrush;
}

const QBrush& BarBrush(double y, const STPaintRequest& request) {
    return KindBrush(JudgeBar(y, request.m_dLimitLow, request.m_dLimitHigh), *request.m_pResources);
}

// The bar's centre column, before it is kept inside the plot.
std::int32_t BarCentre(const STPlotContext& context, const STPixelRect& plot, double x) {
    return ToPixel(x * context.m_xScale.m_dPixelsPerUnit + plot.m_nLeft + 0.5);
}

// The bar's top, kept inside the plot: a negative value has no height.
std::int32_t BarTop(const STPlotContext& context, const STPixelRect& plot, double y) {
    const double value = std::isnan(y) ? 0.0 : y;
    const std::int32_t top =
        ToPixel(plot.m_nBottom - context.m_yScale.m_dPixelsPerUnit * value + 0.5);
    return std::clamp(top, plot.m_nTop, std::max(plot.m_nTop, plot.m_nBottom));
}

// A dense plot's column of the bar at x, counted from the plot's left edge.
std::int32_t DenseColumn(const STPlotContext& context, const STPixelRect& plot, double x) {
    return std::clamp(BarCentre(context, plot, x) - plot.m_nLeft, 0, std::max(0, plot.Width() - 1));
}

// The value label and a yellow frame around the bar.
void PaintHighlight(const STCanvas& canvas, const STPixelRect& bar, double value,
                    const STPaintRequest& request) {
    const STChartResources& resources = *request.m_pResources;
    const STChartLabel label = HighlightLabel(bar, value, request.m_client, resources.m_labelFont);
    QPainter& painter = *canvas.m_pPainter;
    painter.setFont(resources.m_labelFont);
    painter.setPen(resources.m_textColour);
    painter.drawText(label.m_rect, Qt::AlignCenter, label.m_text);
    FrameCells(*canvas.m_pImage, canvas.m_grid,
               {bar.m_nLeft, bar.m_nTop, bar.m_nRight + 1, bar.m_nBottom + 1},
               resources.m_highlightPen.color());
}

struct STHighlightedBar {
    STPixelRect m_rect;
    double m_dValue = 0.0;
    bool m_bFound = false;
};

// The bars with their outlines and fills; the bar to highlight is
// remembered for its label and frame.
STHighlightedBar PaintSeparateBars(const STCanvas& canvas, const STPlotContext& context,
                                   const STPaintRequest& request) {
    const std::vector<STBarSlot> places = BarSlots(context, request.m_plot);
    std::vector<STBarPaint> bars;
    bars.reserve(places.size());
    for (const STBarSlot& slot : places) {
        if (slot.m_bBar) {
            const STPixelRect& bar = slot.m_rect;
            bars.push_back({bar.m_nLeft, bar.m_nTop, bar.m_nRight, bar.m_nBottom,
                            BarBrush(slot.m_dValue, request).color()});
        }
    }
    PaintBarLayers(*canvas.m_pImage, canvas.m_grid, bars,
                   request.m_pResources->m_barOutlinePen.color());
    const std::int32_t highlight = request.m_nHighlight;
    if (highlight < 0 || static_cast<std::size_t>(highlight) >= places.size() ||
        !places[static_cast<std::size_t>(highlight)].m_bBar) {
        return {};
    }
    const STBarSlot& slot = places[static_cast<std::size_t>(highlight)];
    return {slot.m_rect, slot.m_dValue, true};
}

// One fill a pixel column, without outlines, which would leave nothing else
// to see.
STHighlightedBar PaintDenseBars(const STCanvas& canvas, const STPlotContext& context,
                                const STPaintRequest& request) {
    const STPixelRect& plot = request.m_plot;
    const std::vector<STBarColumn> columns =
        DenseBarColumns(context, plot, request.m_dLimitLow, request.m_dLimitHigh);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const STBarColumn& column = columns[i];
        if (column.m_eKind != EBarKind::kNone) {
            PaintBarColumn(*canvas.m_pImage, canvas.m_grid,
                           plot.m_nLeft + static_cast<std::int32_t>(i), column.m_nTop,
                           plot.m_nBottom - 1,
                           KindBrush(column.m_eKind, *request.m_pResources).color());
        }
    }
    const std::int32_t highlight = request.m_nHighlight;
    if (highlight < 0 || static_cast<std::size_t>(highlight) >= context.m_series.size()) {
        return {};
    }
    const STChartPoint& point = context.m_series[static_cast<std::size_t>(highlight)];
    if (std::isnan(point.y)) {
        return {};
    }
    return {DenseHighlightRect(context, plot, point), point.y, true};
}

STHighlightedBar PaintBars(const STCanvas& canvas, const STPlotContext& context,
                           const STPaintRequest& request) {
    return IsDensePlot(context) ? PaintDenseBars(canvas, context, request)
                                : PaintSeparateBars(canvas, context, request);
}

}  // namespace

std::int32_t BarHalfWidth(const STPlotContext& context) {
    const double minorPixels = context.m_xScale.m_dMinorStep * context.m_xScale.m_dPixelsPerUnit;
    const double spacings = context.m_series.size() <= 9 ? 1.5 : 0.5;
    return ToPixel(minorPixels * spacings + 0.5);
}

STChartLabel HighlightLabel(const STPixelRect& bar, double value, const STPixelRect& client,
                            const QFont& font) {
    // QString::number rounds a tie away from zero (470.25 to 470.3); the
    // statistics and the report round it to even (470.2), and so must we.
    const QString text = QString::fromStdU16String(DoubleToText(value));
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.height();
    const std::int32_t centre = bar.m_nLeft + (bar.m_nRight - bar.m_nLeft) / 2;
    const double left = std::fmax(0.0, std::fmin(centre - width * 0.5, client.m_nRight - width));
    const double top = std::fmax(0.0, bar.m_nTop - 20.0);
    return {QRectF(left, top, width, height), text};
}

STPixelRect BarRect(const STPlotContext& context, const STPixelRect& plot,
                    const STChartPoint& point) {
    const std::int32_t half = BarHalfWidth(context);
    // Out-of-range values stay inside the plot.
    const std::int32_t centre = std::clamp(BarCentre(context, plot, point.x), plot.m_nLeft,
                                           std::max(plot.m_nLeft, plot.m_nRight));
    return {centre - half, BarTop(context, plot, point.y), centre + half, plot.m_nBottom};
}

EBarKind JudgeBar(double y, double limitLow, double limitHigh) {
    if (std::isnan(y)) {
        return EBarKind::kNone;
    }
    if (!(y > 10.0)) {
        return EBarKind::kLow;
    }
    if (std::fabs(limitLow - limitHigh) < 1e-9) {
        return EBarKind::kPass;
    }
    if (y < limitLow || y > limitHigh) {
        return EBarKind::kFail;
    }
    return EBarKind::kPass;
}

bool IsDensePlot(const STPlotContext& context) {
    return context.m_xScale.m_dPixelsPerUnit < 1.0;
}

std::vector<STBarColumn> DenseBarColumns(const STPlotContext& context, const STPixelRect& plot,
                                         double limitLow, double limitHigh) {
    std::vector<STBarColumn> columns(static_cast<std::size_t>(std::max(0, plot.Width())),
                                     {plot.m_nBottom, EBarKind::kNone});
    if (columns.empty()) {
        return columns;
    }
    for (const STChartPoint& point : context.m_series) {
        const EBarKind kind = JudgeBar(point.y, limitLow, limitHigh);
        if (kind == EBarKind::kNone) {
            continue;
        }
        STBarColumn& column =
            columns[static_cast<std::size_t>(DenseColumn(context, plot, point.x))];
        column.m_nTop = std::min(column.m_nTop, BarTop(context, plot, point.y));
        column.m_eKind = std::max(column.m_eKind, kind);
    }
    for (STBarColumn& column : columns) {
        if (column.m_eKind != EBarKind::kNone) {
            column.m_nTop = std::min(column.m_nTop, plot.m_nBottom - 1);
        }
    }
    return columns;
}

STPixelRect DenseHighlightRect(const STPlotContext& context, const STPixelRect& plot,
                               const STChartPoint& point) {
    const std::int32_t centre = plot.m_nLeft + DenseColumn(context, plot, point.x);
    const std::int32_t top = std::min(BarTop(context, plot, point.y), plot.m_nBottom - 1);
    return {centre - 1, top, centre + 1, plot.m_nBottom};
}

std::vector<STAxisTick> XAxisTicks(const STChartScale& scale, const STPixelRect& plot) {
    return AxisTicks(scale, plot.m_nLeft, plot.Width(), 1.0);
}

std::vector<STAxisTick> YAxisTicks(const STChartScale& scale, const STPixelRect& plot) {
    return AxisTicks(scale, plot.m_nBottom, plot.Height(), -1.0);
}

std::vector<STChartLabel> XAxisLabels(const STChartScale& scale, const STPixelRect& plot,
                                      const STPixelRect& client, const QFont& font) {
    const QFontMetricsF metrics(font);
    std::vector<STChartLabel> labels;
    for (const STAxisTick& tick : XAxisTicks(scale, plot)) {
        if (!tick.m_bMajor) {
            continue;
        }
        QString text = LabelText(tick.m_dValue);
        const double width = std::ceil(metrics.horizontalAdvance(text));
        // The last tick sits on the plot's right edge, and the margin beyond
        // it is narrower than a five-digit number.
        const double left =
            std::fmax(client.m_nLeft, std::fmin(tick.m_fPosition - 5.0, client.m_nRight - width));
        labels.push_back({QRectF(left, plot.m_nBottom + 9, width, 15), std::move(text)});
    }
    return labels;
}

std::vector<STBarSlot> BarSlots(const STPlotContext& context, const STPixelRect& plot) {
    std::vector<STBarSlot> places;
    places.reserve(context.m_series.size());
    for (const STChartPoint& point : context.m_series) {
        places.push_back({BarRect(context, plot, point), point.y, !std::isnan(point.y)});
    }
    return places;
}

void PaintPlot(STPlotContext& context, const STPaintRequest& request) {
    QImage& image = context.m_image.m_image;
    QPainter painter(&image);
    const STCanvas canvas{&image, STDeviceGrid{image.devicePixelRatio()}, &painter};
    PaintBackground(canvas, request);
    PaintXAxis(canvas, context.m_xScale, request);
    PaintYAxis(canvas, context.m_yScale, request);
    const STHighlightedBar highlighted = PaintBars(canvas, context, request);
    if (highlighted.m_bFound) {
        PaintHighlight(canvas, highlighted.m_rect, highlighted.m_dValue, request);
    }
}
