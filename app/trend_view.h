// The archive window's trend: the listed batches' averages over time with
// the limit lines, painted from the layout chart/trend_chart works out.
#pragma once

#include <QWidget>
#include <vector>

#include "chart/trend_chart.h"

class CTrendView : public QWidget {
public:
    explicit CTrendView(QWidget* parent = nullptr);

    // limitsOf names the batch whose limits are drawn, for the description.
    void SetTrend(std::vector<STTrendPoint> points, const STTrendLimits& limits,
                  const QString& limitsOf);
    // Where the points and lines go at the view's size now.
    STTrendLayout Layout() const;
    const STTrendLimits& Limits() const { return m_limits; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<STTrendPoint> m_points;
    STTrendLimits m_limits;
};
