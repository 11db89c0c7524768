#include "app/trend_view.h"

#include <QPainter>

CTrendView::CTrendView(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Trend of batch averages"));
    setMinimumHeight(fontMetrics().height() * 8);
    SetTrend({}, {}, {});
}

void CTrendView::SetTrend(std::vector<STTrendPoint> points, const STTrendLimits& limits,
                          const QString& limitsOf) {
    m_points = std::move(points);
    m_limits = limits;
    setAccessibleDescription(DescribeTrend(m_points, m_limits, limitsOf));
    setToolTip(accessibleDescription());
    update();
}

STTrendLayout CTrendView::Layout() const {
    return LayOutTrend(m_points, m_limits, size(), QFontMetricsF(font()));
}

QSize CTrendView::sizeHint() const {
    return {fontMetrics().horizontalAdvance(QLatin1Char('0')) * 80, fontMetrics().height() * 14};
}

void CTrendView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    PaintTrend(painter, Layout(), m_limits);
}
