// The chart without a window: the screen and report plot states, the limits
// and highlight its owner writes, the layout, and painting into the images.
// Qt Gui only, so that command-line programs can draw report images without
// widgets; the chart widget is a thin layer on top.
#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>
#include <cstdint>

#include "chart/pixel_rect.h"
#include "chart/plot_context.h"

// Pens, brushes and the font, made once and reused by every paint.
struct STChartResources {
    QBrush m_plotBackground{QColor(0xB4, 0xB4, 0xB4)};
    QPen m_tickPen;
    QPen m_gridPen;
    QPen m_framePen;
    QBrush m_passBrush{QColor(100, 250, 100, 180)};
    QPen m_barOutlinePen;
    QBrush m_failBrush{QColor(250, 100, 100)};
    QPen m_highlightPen;
    QBrush m_lowValueBrush{QColor(0, 0, 0, 180)};
    QFont m_labelFont;
    // The application's font, as the axis labels always had.
    QFont m_axisFont;
    QColor m_textColour{Qt::black};

    STChartResources();
};

class CChartPlot {
public:
    CChartPlot() = default;
    virtual ~CChartPlot() = default;
    CChartPlot(const CChartPlot&) = delete;
    CChartPlot& operator=(const CChartPlot&) = delete;

    // The layout step of a size change: a new screen image, the plot
    // rectangle inside margins, and the screen scales' extents. The size is
    // in logical pixels, which the layout works in whatever the ratio; the
    // screen image holds them at the device pixel ratio (see DrawingRatio).
    // The first layout of a nonzero size also fixes the report's: the
    // chart's default client size, which report images keep however the
    // window is resized later.
    void Layout(std::int32_t width, std::int32_t height, double devicePixelRatio = 1.0);
    // Both limits 0.0 and default screen scales, as a newly created chart has.
    void ResetLimitsAndScales();

    void ClearData();
    void AddData(const STChartPoint& point);
    // Removes the index-th point (0-based, as m_nHighlight counts) and numbers
    // the later ones down by one: points and scales end as ClearData and
    // adding the remaining values again would leave them, at O(points)
    // instead of a fill. The highlight stays on its point (-1 when that was
    // the one removed). An index outside the series changes nothing.
    void RemoveData(std::int32_t index);
    std::int32_t GetDataCount() const;
    void ClearReportData();
    void AddReportData(const STChartPoint& point);
    std::int32_t GetReportDataCount() const;
    // Renders the report context into the report image at the default client
    // size and a device pixel ratio of 1, with the current limits and no
    // highlight.
    void DrawReportImage();
    const STDibImage& GetReportImage() const { return m_report.m_image; }

    // Renders the screen context, highlight included, into the screen image.
    void PaintScreenImage();
    const STDibImage& GetScreenImage() const { return m_screen.m_image; }
    const STPixelRect& PlotRect() const { return m_plot; }
    // The ratio the screen image is drawn at.
    double ScreenPixelRatio() const { return m_dScreenPixelRatio; }
    // The report image's size, in pixels: the first layout's.
    std::int32_t ReportWidth() const { return m_reportClient.Width(); }
    std::int32_t ReportHeight() const { return m_reportClient.Height(); }
    const STPlotContext& ScreenContext() const { return m_screen; }
    const STPlotContext& ReportContext() const { return m_report; }
    const STChartResources& Resources() const { return m_resources; }

    // Written by the owner, who then asks for a repaint.
    std::int32_t m_nHighlight = -1;
    // Equal limits (both 0.0 for a batch without limits) mean no limits.
    double m_dLimitLow = 0.0;
    double m_dLimitHigh = 0.0;

protected:
    // Asks the window, if any, to repaint.
    virtual void Invalidate() {}

private:
    STChartResources m_resources;
    STPixelRect m_client;
    STPixelRect m_plot;
    double m_dScreenPixelRatio = 1.0;
    STPixelRect m_reportClient;
    STPixelRect m_reportPlot;
    STPlotContext m_screen;
    STPlotContext m_report;
};
