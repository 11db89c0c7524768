// The chart window: shows the screen plot, repaints when its owner asks,
// and lays itself out on every resize and at its screen's device pixel
// ratio, so it stays sharp on a high-density screen. It has no user
// interaction; to assistive technology it is a chart whose description
// tells what it shows.
#pragma once

#include <QString>
#include <QWidget>

#include "chart/chart_plot.h"

class CQZCtrlChart : public QWidget, public CChartPlot {
    Q_OBJECT

public:
    CQZCtrlChart();

    // Takes the placeholder's place in parent: its rectangle, then hides it.
    // Nonzero on success; limits 0.0 and default scales afterwards.
    int CreateFromStatic(QWidget* parent, QWidget* placeholder);

    // What the bars stand for, in the owner's words ("the readings of item
    // 3"); the description takes it at the next Refresh.
    void SetSubject(const QString& subject) { m_strSubject = subject; }
    // Repaints and brings the accessible description up to date with the
    // points, limits and highlight the owner has written.
    void Refresh();

protected:
    void Invalidate() override { Refresh(); }
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_strSubject;
};
