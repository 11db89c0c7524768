#include "chart/trend_chart.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "chart/chart_scale.h"
#include "common/number_text.h"
#include "common/time_text.h"

namespace {

constexpr std::int32_t kYDivisions = 5;
constexpr int kXTicks = 5;
constexpr std::int64_t kTwoDays = 2 * 24 * 3600;
constexpr int kDateSelector = 1;
constexpr int kClockSelector = 2;
constexpr int kKeySelector = 0;
// Room between labels and the plot, and around the chart.
constexpr double kGap = 6.0;
constexpr double kPointRadius = 2.5;

QString Q(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// Bottom and step of a Y axis of kYDivisions steps holding low..high: the
// chart's own scale gives the step for the span and a third more, the
// bottom is the step below low, and the step grows until high fits.
std::pair<double, double> YAxis(double low, double high) {
    STChartScale scale;
    scale.m_nDivisions = kYDivisions;
    scale.m_nMaximum = static_cast<std::int32_t>(std::ceil(std::min((high - low) * 1.3, 1e9)));
    for (;;) {
        RecomputeScale(scale);
        const double step = scale.m_nStep;
        double bottom = std::floor(low / step) * step;
        if (bottom == low && low > 0.0)
            bottom -= step;
        if (bottom + step * kYDivisions >= high || scale.m_nMaximum >= 1'000'000'000)
            return {bottom, step};
        scale.m_nMaximum += static_cast<std::int32_t>(step);
    }
}

QString TimeLabel(std::int64_t time, bool dates) {
    return Q(FormatTime(dates ? kDateSelector : kClockSelector, time));
}

}  // namespace

STTrendLayout LayOutTrend(std::vector<STTrendPoint> points, const STTrendLimits& limits,
                          QSizeF size, const QFontMetricsF& metrics) {
    std::erase_if(points, [](const STTrendPoint& point) { return !std::isfinite(point.m_dValue); });
    std::stable_sort(
        points.begin(), points.end(),
        [](const STTrendPoint& a, const STTrendPoint& b) { return a.m_nTime < b.m_nTime; });
    STTrendLayout layout;
    double low = points.empty() ? 0.0 : points.front().m_dValue;
    double high = low;
    for (const STTrendPoint& point : points) {
        low = std::min(low, point.m_dValue);
        high = std::max(high, point.m_dValue);
    }
    if (limits.m_bUsed) {
        low = std::min({low, limits.m_dLower, limits.m_dUpper});
        high = std::max({high, limits.m_dLower, limits.m_dUpper});
    }
    const auto [bottom, step] = YAxis(low, high);
    layout.m_dBottom = bottom;
    layout.m_dTop = bottom + step * kYDivisions;

    double labelWidth = 0.0;
    for (int division = 0; division <= kYDivisions; ++division) {
        labelWidth = std::max(
            labelWidth, metrics.horizontalAdvance(
                            Q(IntToText(static_cast<std::int32_t>(bottom + step * division)))));
    }
    const double halfDate = metrics.horizontalAdvance(QStringLiteral("0000-00-00")) / 2.0;
    const double left = std::max(labelWidth + kGap * 2, halfDate + kGap);
    layout.m_plot = QRectF(left, metrics.height() / 2 + kGap,
                           std::max(1.0, size.width() - left - halfDate - kGap),
                           std::max(1.0, size.height() - metrics.height() * 1.5 - kGap * 3));
    const QRectF& plot = layout.m_plot;

    const auto rowOf = [&](double value) {
        return plot.bottom() -
               (value - layout.m_dBottom) / (layout.m_dTop - layout.m_dBottom) * plot.height();
    };
    for (int division = 0; division <= kYDivisions; ++division) {
        const double value = bottom + step * division;
        layout.m_yTicks.push_back({rowOf(value), Q(IntToText(static_cast<std::int32_t>(value)))});
    }
    if (limits.m_bUsed) {
        layout.m_oLowerY = rowOf(limits.m_dLower);
        layout.m_oUpperY = rowOf(limits.m_dUpper);
    }
    if (points.empty())
        return layout;

    const std::int64_t first = points.front().m_nTime;
    const std::int64_t span = points.back().m_nTime - first;
    const auto columnOf = [&](double time) {
        return span == 0 ? plot.center().x()
                         : plot.left() + (time - static_cast<double>(first)) /
                                             static_cast<double>(span) * plot.width();
    };
    for (const STTrendPoint& point : points) {
        layout.m_points.emplace_back(columnOf(static_cast<double>(point.m_nTime)),
                                     rowOf(point.m_dValue));
    }
    const bool dates = span >= kTwoDays;
    const int ticks = span == 0 ? 1 : kXTicks;
    for (int tick = 0; tick < ticks; ++tick) {
        const double time = span == 0 ? static_cast<double>(first)
                                      : static_cast<double>(first) +
                                            static_cast<double>(span) * tick / (kXTicks - 1);
        layout.m_xTicks.push_back(
            {columnOf(time), TimeLabel(static_cast<std::int64_t>(std::llround(time)), dates)});
    }
    return layout;
}

void PaintTrend(QPainter& painter, const STTrendLayout& layout, const STTrendLimits& limits) {
    const QRectF& plot = layout.m_plot;
    const QFontMetricsF metrics(painter.font());
    painter.save();
    painter.fillRect(plot, Qt::white);
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (const STTrendTick& tick : layout.m_yTicks)
        painter.drawLine(QPointF(plot.left(), tick.m_dPosition),
                         QPointF(plot.right(), tick.m_dPosition));
    painter.setPen(Qt::black);
    painter.drawRect(plot);
    for (const STTrendTick& tick : layout.m_yTicks) {
        const double width = metrics.horizontalAdvance(tick.m_strLabel);
        painter.drawText(
            QPointF(plot.left() - kGap - width, tick.m_dPosition + metrics.ascent() / 2 - 1),
            tick.m_strLabel);
    }
    for (const STTrendTick& tick : layout.m_xTicks) {
        painter.drawLine(QPointF(tick.m_dPosition, plot.bottom()),
                         QPointF(tick.m_dPosition, plot.bottom() + 3));
        const double width = metrics.horizontalAdvance(tick.m_strLabel);
        painter.drawText(
            QPointF(tick.m_dPosition - width / 2, plot.bottom() + kGap + metrics.ascent()),
            tick.m_strLabel);
    }
    if (limits.m_bUsed && layout.m_oLowerY && layout.m_oUpperY) {
        const QColor red(200, 0, 0);
        painter.setPen(QPen(red, 1, Qt::DashLine));
        for (const double row : {*layout.m_oLowerY, *layout.m_oUpperY}) {
            painter.drawLine(QPointF(plot.left(), row), QPointF(plot.right(), row));
        }
        // Named at the right end: the upper above its line, the lower below,
        // each on the other side when the frame is too close.
        painter.setPen(red);
        const auto name = [&](const QString& text, double row, bool above) {
            if (above && row - metrics.height() < plot.top())
                above = false;
            if (!above && row + metrics.height() > plot.bottom())
                above = true;
            const double baseline =
                above ? row - metrics.descent() - 1 : row + metrics.ascent() + 1;
            painter.drawText(
                QPointF(plot.right() - kGap - metrics.horizontalAdvance(text), baseline), text);
        };
        name(QStringLiteral("Upper limit ") + Q(DoubleToText(limits.m_dUpper)), *layout.m_oUpperY,
             true);
        name(QStringLiteral("Lower limit ") + Q(DoubleToText(limits.m_dLower)), *layout.m_oLowerY,
             false);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(plot.adjusted(-kPointRadius, -kPointRadius, kPointRadius, kPointRadius));
    painter.setPen(QPen(QColor(0, 90, 180), 1.5));
    if (layout.m_points.size() > 1)
        painter.drawPolyline(layout.m_points.data(), static_cast<int>(layout.m_points.size()));
    painter.setBrush(QColor(0, 90, 180));
    for (const QPointF& point : layout.m_points)
        painter.drawEllipse(point, kPointRadius, kPointRadius);
    painter.restore();
}

QString DescribeTrend(const std::vector<STTrendPoint>& points, const STTrendLimits& limits,
                      const QString& limitsOf) {
    std::vector<STTrendPoint> shown;
    std::copy_if(points.begin(), points.end(), std::back_inserter(shown),
                 [](const STTrendPoint& point) { return std::isfinite(point.m_dValue); });
    if (shown.empty())
        return QStringLiteral("Trend of batch averages: no batches listed.");
    const auto [earliest, latest] = std::minmax_element(
        shown.begin(), shown.end(),
        [](const STTrendPoint& a, const STTrendPoint& b) { return a.m_nTime < b.m_nTime; });
    const auto [lowest, highest] = std::minmax_element(
        shown.begin(), shown.end(),
        [](const STTrendPoint& a, const STTrendPoint& b) { return a.m_dValue < b.m_dValue; });
    QString text =
        QStringLiteral(
            "Trend of the averages of %1 listed batches from %2 to %3, between %4 and %5.")
            .arg(shown.size())
            .arg(Q(FormatTime(kKeySelector, earliest->m_nTime)),
                 Q(FormatTime(kKeySelector, latest->m_nTime)), Q(DoubleToText(lowest->m_dValue)),
                 Q(DoubleToText(highest->m_dValue)));
    if (limits.m_bUsed) {
        text +=
            QStringLiteral(" Limit lines at %1 and %2, the limits of the most recent batch, %3.")
                .arg(Q(DoubleToText(limits.m_dLower)), Q(DoubleToText(limits.m_dUpper)), limitsOf);
    } else {
        text += QStringLiteral(" No limit lines: the most recent batch, %1, uses no limits.")
                    .arg(limitsOf);
    }
    return text;
}
