// The chart window: shows the screen plot, repaints when its owner asks,
// and lays itself out on every resize and at its screen's device pixel
// ratio, so it stays sharp on a high-density screen. It has no user
// interaction.
#pragma once

#include <QWidget>

#include "chart/chart_plot.h"

class CQZCtrlChart : public QWidget, public CChartPlot {
public:
    CQZCtrlChart();

    // Takes the placeholder's place in parent: its rectangle, then hides it.
    // Nonzero on success; limits 0.0 and default scales afterwards.
    int CreateFromStatic(QWidget* parent, QWidget* placeholder);

protected:
    void Invalidate() override { update(); }
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
