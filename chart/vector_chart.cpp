#include "chart/vector_chart.h"

#include <QFontMetricsF>
#include <QString>
#include <algorithm>
#include <cmath>

#include "chart/chart_painter.h"

namespace {

// The window chart's margins around the plot, in its 96-dpi pixels.
constexpr double kScreenDpi = 96.0;
constexpr double kMarginLeft = 50.0;
constexpr double kMarginTop = 10.0;
constexpr double kMarginRight = 30.0;
constexpr double kMarginBottom = 25.0;
constexpr double kLabelPoints = 7.0;
// Lines a printed page shows clearly: about a sixth of a millimetre.
constexpr double kLineInches = 1.0 / 150.0;

const QColor kGridColour(0xC8, 0xC8, 0xC8);

std::int32_t Units(double screenPixels, double dpi) {
    return static_cast<std::int32_t>(std::lround(screenPixels * dpi / kScreenDpi));
}

struct STVectorPlot {
    QPainter& m_painter;
    double m_dDpi;
    STPixelRect m_plot;
    const STChartResources& m_resources;

    double LineWidth() const { return std::max(1.0, m_dDpi * kLineInches); }
    QPen Pen(QColor colour, double widthFactor = 1.0) const {
        QPen pen(colour, LineWidth() * widthFactor);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        return pen;
    }
};

QString LabelText(double value) {
    return QString::number(value, 'f', 0);
}

void PaintPlotBackground(const STVectorPlot& plot) {
    const STPixelRect& r = plot.m_plot;
    plot.m_painter.fillRect(QRect(r.m_nLeft, r.m_nTop, r.Width(), r.Height()), Qt::white);
}

void PaintXAxis(const STVectorPlot& plot, const STChartScale& scale) {
    QPainter& painter = plot.m_painter;
    const STPixelRect& r = plot.m_plot;
    const double majorTick = Units(8, plot.m_dDpi);
    const double minorTick = Units(4, plot.m_dDpi);
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (const STAxisTick& tick : XAxisTicks(scale, r)) {
        const double x = tick.m_fPosition;
        if (x > r.m_nRight + 0.5) break;
        if (tick.m_bMajor) {
            painter.setPen(plot.Pen(kGridColour, 0.6));
            painter.drawLine(QPointF(x, r.m_nTop), QPointF(x, r.m_nBottom));
        }
        painter.setPen(plot.Pen(plot.m_resources.m_tickPen.color()));
        painter.drawLine(QPointF(x, r.m_nBottom), QPointF(x, r.m_nBottom + (tick.m_bMajor ? majorTick : minorTick)));
        if (tick.m_bMajor || tick.m_nPixel == r.m_nLeft) {
            const QString text = LabelText(tick.m_dValue);
            const double width = metrics.horizontalAdvance(text);
            painter.setPen(plot.m_resources.m_textColour);
            painter.drawText(QPointF(x - width / 2.0, r.m_nBottom + majorTick + metrics.ascent() + majorTick / 4),
                             text);
        }
    }
}

void PaintYAxis(const STVectorPlot& plot, const STChartScale& scale) {
    QPainter& painter = plot.m_painter;
    const STPixelRect& r = plot.m_plot;
    const double majorTick = Units(8, plot.m_dDpi);
    const double minorTick = Units(4, plot.m_dDpi);
    const QFontMetricsF metrics(painter.font(), painter.device());
    for (const STAxisTick& tick : YAxisTicks(scale, r)) {
        const double y = tick.m_fPosition;
        if (y < r.m_nTop - 0.5) break;
        if (tick.m_bMajor) {
            painter.setPen(plot.Pen(kGridColour, 0.6));
            painter.drawLine(QPointF(r.m_nLeft, y), QPointF(r.m_nRight, y));
        }
        painter.setPen(plot.Pen(plot.m_resources.m_tickPen.color()));
        painter.drawLine(QPointF(r.m_nLeft - (tick.m_bMajor ? majorTick : minorTick), y), QPointF(r.m_nLeft, y));
        if (tick.m_bMajor || tick.m_nPixel == r.m_nBottom) {
            const QString text = LabelText(tick.m_dValue);
            const double width = metrics.horizontalAdvance(text);
            painter.setPen(plot.m_resources.m_textColour);
            painter.drawText(QPointF(r.m_nLeft - majorTick * 1.25 - width, y + metrics.capHeight() / 2.0), text);
        }
    }
}

QColor KindColour(EBarKind kind, const STChartResources& resources) {
    switch (kind) {
        case EBarKind::kFail:
            return resources.m_failBrush.color();
        case EBarKind::kPass:
            return resources.m_passBrush.color();
        case EBarKind::kLow:
        case EBarKind::kNone:
            break;
    }
    return resources.m_lowValueBrush.color();
}

// Each bar in order: its fill over what lies below, then its outline, as
// the window chart layers them.
void PaintSeparateBars(const STVectorPlot& plot, const STPlotContext& context, const STVectorChart& chart) {
    QPainter& painter = plot.m_painter;
    const double line = plot.LineWidth();
    const QPen outline = plot.Pen(plot.m_resources.m_barOutlinePen.color());
    for (const STBarSlot& slot : BarSlots(context, plot.m_plot)) {
        if (!slot.m_bBar) continue;
        const STPixelRect& bar = slot.m_rect;
        const QRectF rect(bar.m_nLeft, bar.m_nTop, bar.Width(), bar.Height());
        painter.fillRect(rect, KindColour(JudgeBar(slot.m_dValue, chart.m_dLimitLow, chart.m_dLimitHigh),
                                          plot.m_resources));
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect.adjusted(line / 2, line / 2, -line / 2, 0));
    }
}

// A dense plot's device columns, neighbours of one height and kind painted
// as one rectangle: fewer objects on the page, no seams between them.
void PaintDenseBars(const STVectorPlot& plot, const STPlotContext& context, const STVectorChart& chart) {
    QPainter& painter = plot.m_painter;
    const STPixelRect& r = plot.m_plot;
    const std::vector<STBarColumn> columns =
        DenseBarColumns(context, r, chart.m_dLimitLow, chart.m_dLimitHigh);
    std::size_t first = 0;
    while (first < columns.size()) {
        std::size_t end = first + 1;
        while (end < columns.size() && columns[end].m_nTop == columns[first].m_nTop &&
               columns[end].m_eKind == columns[first].m_eKind)
            ++end;
        const STBarColumn& column = columns[first];
        if (column.m_eKind != EBarKind::kNone) {
            painter.fillRect(QRect(r.m_nLeft + static_cast<std::int32_t>(first), column.m_nTop,
                                   static_cast<std::int32_t>(end - first), r.m_nBottom - column.m_nTop),
                             KindColour(column.m_eKind, plot.m_resources));
        }
        first = end;
    }
}

}  // namespace

STPixelRect VectorPlotRect(const QRect& area, double dpi) {
    return {area.left() + Units(kMarginLeft, dpi), area.top() + Units(kMarginTop, dpi),
            area.left() + area.width() - Units(kMarginRight, dpi),
            area.top() + area.height() - Units(kMarginBottom, dpi)};
}

void PaintVectorChart(QPainter& painter, const QRect& area, double dpi, const STVectorChart& chart,
                      const STChartResources& resources) {
    const STPixelRect plotRect = VectorPlotRect(area, dpi);
    if (plotRect.Width() <= 0 || plotRect.Height() <= 0) return;
    STPlotContext context;
    context.Clear(plotRect.Width(), plotRect.Height());
    context.m_series.reserve(chart.m_points.size());
    for (const STChartPoint& point : chart.m_points) context.Add(point);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(kLabelPoints);
    painter.setFont(font);
    const STVectorPlot plot{painter, dpi, plotRect, resources};
    PaintPlotBackground(plot);
    PaintXAxis(plot, context.m_xScale);
    PaintYAxis(plot, context.m_yScale);
    if (IsDensePlot(context))
        PaintDenseBars(plot, context, chart);
    else
        PaintSeparateBars(plot, context, chart);
    painter.setPen(plot.Pen(resources.m_framePen.color()));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(plotRect.m_nLeft, plotRect.m_nTop, plotRect.Width(), plotRect.Height()));
    painter.restore();
}
