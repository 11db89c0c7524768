#include "chart/chart_plot.h"

#include <QGuiApplication>
#include <QPalette>

#include "chart/chart_painter.h"
#include "chart/device_grid.h"

namespace {

// Margins of the plot inside the client area, for the axis labels.
constexpr std::int32_t kPlotMarginLeft = 50;
constexpr std::int32_t kPlotMarginTop = 10;
constexpr std::int32_t kPlotMarginRight = 30;
constexpr std::int32_t kPlotMarginBottom = 25;

STPixelRect PlotInside(const STPixelRect& client) {
    return {client.m_nLeft + kPlotMarginLeft, client.m_nTop + kPlotMarginTop,
            client.m_nRight - kPlotMarginRight, client.m_nBottom - kPlotMarginBottom};
}

QPen SolidPen(QColor colour) {
    QPen pen(colour, 1);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QColor MenuColour() {
    return QGuiApplication::instance() ? QGuiApplication::palette().color(QPalette::Window)
                                       : QColor(0xC0, 0xC0, 0xC0);
}

}  // namespace

STChartResources::STChartResources()
    : m_tickPen(SolidPen(QColor(0x80, 0x80, 0x80))),
      m_gridPen(SolidPen(QColor(0x80, 0x80, 0x80))),
      m_framePen(SolidPen(Qt::black)),
      m_barOutlinePen(SolidPen(QColor(0x64, 0x64, 0x64))),
      m_highlightPen(SolidPen(QColor(0xFF, 0xFF, 0x00))) {
    // Dashes three pen widths long with gaps of one.
    m_gridPen.setDashPattern({3, 1});
    m_labelFont.setFamilies({QStringLiteral("MS Shell Dlg"), QStringLiteral("DejaVu Sans")});
    m_labelFont.setStyleHint(QFont::SansSerif);
    m_labelFont.setPixelSize(12);
}

void CChartPlot::Layout(std::int32_t width, std::int32_t height, double devicePixelRatio) {
    m_client = {0, 0, width, height};
    m_plot = PlotInside(m_client);
    m_dScreenPixelRatio = DrawingRatio(devicePixelRatio);
    if (width > 0 && height > 0) {
        m_screen.m_image.Create(width, height, m_dScreenPixelRatio);
        if (m_reportClient.Width() <= 0 || m_reportClient.Height() <= 0) {
            m_reportClient = m_client;
            m_reportPlot = m_plot;
        }
    }
    m_screen.m_xScale.m_nExtent = m_plot.Width();
    m_screen.m_yScale.m_nExtent = m_plot.Height();
    RecomputeScale(m_screen.m_xScale);
    RecomputeScale(m_screen.m_yScale);
}

void CChartPlot::ResetLimitsAndScales() {
    m_dLimitLow = 0.0;
    m_dLimitHigh = 0.0;
    m_screen.m_xScale = DefaultXScale(m_plot.Width());
    m_screen.m_yScale = DefaultYScale(m_plot.Height());
}

void CChartPlot::ClearData() {
    m_screen.Clear(m_screen.m_xScale.m_nExtent, m_screen.m_yScale.m_nExtent);
    m_nHighlight = -1;
    Invalidate();
}

void CChartPlot::AddData(const STChartPoint& point) {
    m_screen.Add(point);
}

void CChartPlot::RemoveData(std::int32_t index) {
    if (!m_screen.RemoveAt(index)) {
        return;
    }
    if (m_nHighlight == index) {
        m_nHighlight = -1;
    } else if (m_nHighlight > index) {
        --m_nHighlight;
    }
    Invalidate();
}

std::int32_t CChartPlot::GetDataCount() const {
    return static_cast<std::int32_t>(m_screen.m_series.size());
}

void CChartPlot::ClearReportData() {
    m_report.Clear(m_reportPlot.Width(), m_reportPlot.Height());
}

void CChartPlot::AddReportData(const STChartPoint& point) {
    m_report.Add(point);
}

std::int32_t CChartPlot::GetReportDataCount() const {
    return static_cast<std::int32_t>(m_report.m_series.size());
}

void CChartPlot::DrawReportImage() {
    if (!m_report.m_image.Create(m_reportClient.Width(), m_reportClient.Height())) {
        return;
    }
    PaintPlot(m_report, {&m_resources, m_reportClient, m_reportPlot, MenuColour(), m_dLimitLow,
                         m_dLimitHigh, -1});
}

void CChartPlot::PaintScreenImage() {
    if (m_screen.m_image.m_image.isNull()) {
        return;
    }
    PaintPlot(m_screen, {&m_resources, m_client, m_plot, MenuColour(), m_dLimitLow, m_dLimitHigh,
                         m_nHighlight});
}
