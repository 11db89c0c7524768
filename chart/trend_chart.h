// A trend of batch averages over time: where the points, the line joining
// them, the limit lines and the axis ticks go in a rectangle of a given
// size, worked out without a window, and the painting of that layout.
#pragma once

#include <QFontMetricsF>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

struct STTrendPoint {
    // Creation time, seconds since the epoch.
    std::int64_t m_nTime = 0;
    double m_dValue = 0.0;
};

struct STTrendLimits {
    bool m_bUsed = false;
    double m_dLower = 0.0;
    double m_dUpper = 0.0;
};

struct STTrendTick {
    // A pixel column for the X axis, a pixel row for the Y axis.
    double m_dPosition = 0.0;
    QString m_strLabel;
};

struct STTrendLayout {
    // The plotting area inside the axes.
    QRectF m_plot;
    // In time order; values that are no number are left out.
    std::vector<QPointF> m_points;
    // Pixel rows of the limit lines, when the limits are used.
    std::optional<double> m_oLowerY;
    std::optional<double> m_oUpperY;
    std::vector<STTrendTick> m_xTicks;
    std::vector<STTrendTick> m_yTicks;
    // The values at the bottom and top of the plot.
    double m_dBottom = 0.0;
    double m_dTop = 0.0;
};

// The layout in a size-sized rectangle whose labels are measured with
// metrics. The Y axis spans the values and the limits with room around them
// in whole steps of the chart's scale; the X axis spans the first to the
// last time, a single time sitting in the middle.
STTrendLayout LayOutTrend(std::vector<STTrendPoint> points, const STTrendLimits& limits,
                          QSizeF size, const QFontMetricsF& metrics);

// Axes, grid, labels, limit lines (dashed) and the points joined by a line.
void PaintTrend(QPainter& painter, const STTrendLayout& layout, const STTrendLimits& limits);

// The trend in words, for a screen reader; limitsOf names the batch whose
// limits are drawn (its key), empty when none is listed.
QString DescribeTrend(const std::vector<STTrendPoint>& points, const STTrendLimits& limits,
                      const QString& limitsOf);
