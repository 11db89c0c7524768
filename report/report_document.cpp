#include "report/report_document.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <algorithm>
#include <cmath>
#include <vector>

#include "chart/vector_chart.h"
#include "common/time_text.h"
#include "instrument/capability.h"
#include "persistence/setting.h"
#include "report/report_table.h"

namespace {

constexpr double kMarginMm = 15.0;
constexpr int kDateSelector = 1;
const QString kFace = QStringLiteral("DejaVu Sans");

const QColor kInk(0x1A, 0x1A, 0x1A);
const QColor kMutedInk(0x55, 0x55, 0x55);
const QColor kRule(0xC4, 0xC4, 0xC4);
const QColor kStrongRule(0x40, 0x40, 0x40);
const QColor kHeaderFill(0xE6, 0xEB, 0xF0);
const QColor kNgInk(0xC0, 0x00, 0x00);
const QColor kNgFill(0xFC, 0xE4, 0xE4);

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QFont Font(double points, bool bold = false) {
    QFont font(kFace);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// Between a cell's text and its rules.
constexpr double kCellPaddingMm = 1.2;

// A row of cells across the page: each column's left edge and width.
struct STColumnEdges {
    std::vector<double> m_lefts;
    std::vector<double> m_widths;
};

STColumnEdges SpreadColumns(const std::vector<double>& weights, double left, double width) {
    double total = 0.0;
    for (const double weight : weights) total += weight;
    STColumnEdges edges;
    double x = left;
    for (const double weight : weights) {
        const double share = width * weight / total;
        edges.m_lefts.push_back(x);
        edges.m_widths.push_back(share);
        x += share;
    }
    return edges;
}

// Paints the report page by page. The flow runs twice: once without
// painting to count the pages, so every footer can say "of N", then
// painting, so both runs break pages at the same rows.
class CReportDocument {
public:
    CReportDocument(QPagedPaintDevice& device, QPainter& painter, const STLedgermill& batch,
                    const STDocumentControl& control);

    std::int32_t CountPages() { return Flow(false); }
    // False when stopped on request.
    bool PaintAll(std::int32_t pages) {
        m_nPages = pages;
        return Flow(true) > 0;
    }

private:
    double Mm(double mm) const { return mm * m_dDpi / 25.4; }
    double LineHeight(const QFont& font) const { return QFontMetricsF(font, &m_device).height(); }
    double RowHeight() const { return m_dRowHeight; }
    // What a cell needs to show the text whole: its width and the padding.
    double BoldWidth(const QString& text) const {
        return QFontMetricsF(m_boldFont, &m_device).horizontalAdvance(text) + 2 * Mm(kCellPaddingMm) + 1.0;
    }
    double BodyWidth(const QString& text) const {
        return m_bodyMetrics.horizontalAdvance(text) + 2 * Mm(kCellPaddingMm) + 1.0;
    }
    double BodyBottom() const { return m_dPageHeight - m_dFooterHeight; }

    double HeaderBlockHeight() const;
    double ClosingBlockHeight() const;

    // The flow of pages; the number of pages, or 0 when stopped.
    std::int32_t Flow(bool paint);
    bool Cancelled() const { return m_control.m_pCancel != nullptr && *m_control.m_pCancel; }

    void PaintHeaderBlock();
    void PaintTableHeader(double top);
    void PaintRow(double top, const STTableRow& row);
    void PaintTableRules(double top, double bottom);
    void PaintClosingBlock(double top);
    void PaintFooter(std::int32_t page);

    double PaintSection(double top, const QString& title);
    // A titled grid: titles on a tinted row, values below; a lead label,
    // when given, takes the first column over both rows.
    double PaintGrid(double top, const std::vector<std::u16string>& titles,
                     const std::vector<std::u16string>& values, const QString& lead = {});
    void PaintCell(const QRectF& cell, const QString& text, int alignment = Qt::AlignCenter);
    // PaintCell for the table's rows, in the body font: a text that fits is
    // placed on its baseline without a layout, which is most of the time a
    // long report takes. Widths are kept, since scales, values and dates
    // come back row after row.
    void PaintRowCell(const QRectF& cell, const QString& text);

    QPagedPaintDevice& m_device;
    QPainter& m_painter;
    const STLedgermill& m_batch;
    const STDocumentControl& m_control;
    const double m_dDpi;
    const double m_dPageWidth;
    const double m_dPageHeight;
    const QFont m_titleFont = Font(15.0, true);
    const QFont m_subtitleFont = Font(11.0);
    const QFont m_sectionFont = Font(10.0, true);
    const QFont m_bodyFont = Font(8.5);
    const QFont m_boldFont = Font(8.5, true);
    const QFont m_footerFont = Font(7.5);
    double m_dRowHeight = 0.0;
    double m_dFooterHeight = 0.0;
    std::vector<STTableColumn> m_columns;
    STColumnEdges m_edges;
    std::int32_t m_nPages = 0;
    QFontMetricsF m_bodyMetrics;
    QHash<QString, double> m_textWidths;
};

CReportDocument::CReportDocument(QPagedPaintDevice& device, QPainter& painter, const STLedgermill& batch,
                                 const STDocumentControl& control)
    : m_device(device),
      m_painter(painter),
      m_batch(batch),
      m_control(control),
      m_dDpi(device.logicalDpiY()),
      m_dPageWidth(device.width()),
      m_dPageHeight(device.height()),
      m_columns(MeasurementColumns(batch.m_nTestMethod)),
      m_bodyMetrics(m_bodyFont, &device) {
    m_dRowHeight = std::ceil(LineHeight(m_bodyFont) * 1.5);
    m_dFooterHeight = LineHeight(m_footerFont) + Mm(4.0);
    std::vector<double> weights;
    for (const STTableColumn& column : m_columns) weights.push_back(column.m_dWeight);
    m_edges = SpreadColumns(weights, 0.0, m_dPageWidth);
}

double CReportDocument::HeaderBlockHeight() const {
    return LineHeight(m_titleFont) + LineHeight(m_subtitleFont) + Mm(5.0) + 2 * RowHeight() + Mm(3.0) +
           2 * RowHeight() + Mm(6.0);
}

double CReportDocument::ClosingBlockHeight() const {
    const double section = LineHeight(m_sectionFont) + Mm(2.0);
    const double grid = 2 * RowHeight();
    return Mm(6.0) + section + Mm(70.0) + Mm(5.0) + section + grid + Mm(5.0) + section + grid + RowHeight();
}

std::int32_t CReportDocument::Flow(bool paint) {
    std::int32_t page = 1;
    if (paint) PaintHeaderBlock();
    double tableTop = HeaderBlockHeight();
    if (paint) PaintTableHeader(tableTop);
    double y = tableTop + RowHeight();
    std::int32_t number = 0;
    for (const auto& item : m_batch.m_itemVector) {
        if (y + RowHeight() > BodyBottom()) {
            if (paint) {
                PaintTableRules(tableTop, y);
                PaintFooter(page);
                m_device.newPage();
            }
            ++page;
            tableTop = 0.0;
            if (paint) PaintTableHeader(tableTop);
            y = tableTop + RowHeight();
        }
        ++number;
        if (paint) {
            if (Cancelled()) return 0;
            PaintRow(y, MeasurementRow(m_batch, number, *item));
            if (m_control.m_pRowsDone != nullptr) ++*m_control.m_pRowsDone;
        }
        y += RowHeight();
    }
    if (paint) PaintTableRules(tableTop, y);
    if (y + ClosingBlockHeight() > BodyBottom()) {
        if (paint) {
            PaintFooter(page);
            m_device.newPage();
        }
        ++page;
        y = 0.0;
    }
    if (paint) {
        PaintClosingBlock(y);
        PaintFooter(page);
    }
    return page;
}

void CReportDocument::PaintCell(const QRectF& cell, const QString& text, int alignment) {
    const double pad = Mm(kCellPaddingMm);
    m_painter.drawText(cell.adjusted(pad, 0, -pad, 0), alignment | Qt::AlignVCenter, text);
}

void CReportDocument::PaintRowCell(const QRectF& cell, const QString& text) {
    const double pad = Mm(kCellPaddingMm);
    auto width = m_textWidths.constFind(text);
    if (width == m_textWidths.constEnd()) width = m_textWidths.insert(text, m_bodyMetrics.horizontalAdvance(text));
    if (*width > cell.width() - 2 * pad) {
        PaintCell(cell, text);
        return;
    }
    const double baseline =
        cell.top() + (cell.height() - m_bodyMetrics.ascent() - m_bodyMetrics.descent()) / 2 + m_bodyMetrics.ascent();
    m_painter.drawText(QPointF(cell.left() + (cell.width() - *width) / 2, baseline), text);
}

void CReportDocument::PaintHeaderBlock() {
    double y = 0.0;
    m_painter.setPen(kInk);
    m_painter.setFont(m_titleFont);
    m_painter.drawText(QRectF(0, y, m_dPageWidth, LineHeight(m_titleFont)), Qt::AlignCenter,
                       Q(g_stSetting.m_strTitleOne));
    y += LineHeight(m_titleFont);
    m_painter.setFont(m_subtitleFont);
    m_painter.drawText(QRectF(0, y, m_dPageWidth, LineHeight(m_subtitleFont)), Qt::AlignCenter,
                       Q(g_stSetting.m_strTitleTwo));
    y += LineHeight(m_subtitleFont) + Mm(2.5);
    m_painter.setPen(QPen(kStrongRule, Mm(0.35)));
    m_painter.drawLine(QPointF(0, y), QPointF(m_dPageWidth, y));
    y += Mm(2.5);

    // Two label/value pairs a line: Department and Date, Specimen and Operator.
    // The labels take the width they need, the values share the rest.
    const double leftLabels = std::max(BoldWidth(QStringLiteral("Department:")), BoldWidth(QStringLiteral("Specimen:")));
    const double rightLabels = std::max(BoldWidth(QStringLiteral("Date:")), BoldWidth(QStringLiteral("Operator:")));
    const double valueWidth = std::max(0.0, (m_dPageWidth - leftLabels - rightLabels) / 2);
    const STColumnEdges pairs = SpreadColumns({leftLabels, valueWidth, rightLabels, valueWidth}, 0.0, m_dPageWidth);
    const auto pairLine = [&](double top, const QString& label1, const std::u16string& value1,
                              const QString& label2, const std::u16string& value2) {
        const auto cell = [&](std::size_t i) {
            return QRectF(pairs.m_lefts[i], top, pairs.m_widths[i], RowHeight());
        };
        m_painter.setPen(kMutedInk);
        m_painter.setFont(m_boldFont);
        PaintCell(cell(0), label1, Qt::AlignRight);
        PaintCell(cell(2), label2, Qt::AlignRight);
        m_painter.setPen(kInk);
        m_painter.setFont(m_bodyFont);
        PaintCell(cell(1), Q(value1), Qt::AlignLeft);
        PaintCell(cell(3), Q(value2), Qt::AlignLeft);
    };
    pairLine(y, QStringLiteral("Department:"), g_stSetting.m_strDepartment, QStringLiteral("Date:"),
             FormatTime(kDateSelector, m_batch.m_time));
    y += RowHeight();
    pairLine(y, QStringLiteral("Specimen:"), g_stSetting.m_strSpecimen, QStringLiteral("Operator:"),
             g_stSetting.m_strOperator);
    y += RowHeight() + Mm(3.0);

    const STParameterTexts parameters = ParameterTexts(m_batch, g_stSetting.m_dSamplingRate);
    PaintGrid(y, parameters.m_titles, parameters.m_values, QStringLiteral("Parameters:"));
}

double CReportDocument::PaintGrid(double top, const std::vector<std::u16string>& titles,
                                  const std::vector<std::u16string>& values, const QString& lead) {
    // Equal columns, widened where a title or value would not fit.
    const std::size_t count = titles.size() + (lead.isEmpty() ? 0 : 1);
    const double equal = m_dPageWidth / static_cast<double>(std::max<std::size_t>(count, 1));
    std::vector<double> weights;
    if (!lead.isEmpty()) weights.push_back(std::max(equal, BoldWidth(lead)));
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const double value = i < values.size() ? BodyWidth(Q(values[i])) : 0.0;
        weights.push_back(std::max({equal, BoldWidth(Q(titles[i])), value}));
    }
    const STColumnEdges edges = SpreadColumns(weights, 0.0, m_dPageWidth);
    const std::size_t first = lead.isEmpty() ? 0 : 1;
    const double left = edges.m_lefts[first];
    const double height = 2 * RowHeight();

    m_painter.fillRect(QRectF(left, top, m_dPageWidth - left, RowHeight()), kHeaderFill);
    m_painter.setPen(QPen(kRule, Mm(0.15)));
    m_painter.drawLine(QPointF(left, top + RowHeight()), QPointF(m_dPageWidth, top + RowHeight()));
    for (std::size_t i = first + 1; i < edges.m_lefts.size(); ++i)
        m_painter.drawLine(QPointF(edges.m_lefts[i], top), QPointF(edges.m_lefts[i], top + height));
    m_painter.setPen(QPen(kStrongRule, Mm(0.25)));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(left, top, m_dPageWidth - left, height));

    if (!lead.isEmpty()) {
        m_painter.setPen(kMutedInk);
        m_painter.setFont(m_boldFont);
        PaintCell(QRectF(0, top, edges.m_widths[0], height), lead, Qt::AlignRight);
    }
    for (std::size_t i = 0; i < titles.size(); ++i) {
        const QRectF titleCell(edges.m_lefts[first + i], top, edges.m_widths[first + i], RowHeight());
        m_painter.setPen(kInk);
        m_painter.setFont(m_boldFont);
        PaintCell(titleCell, Q(titles[i]));
        m_painter.setFont(m_bodyFont);
        PaintCell(titleCell.translated(0, RowHeight()), i < values.size() ? Q(values[i]) : QString());
    }
    return top + height;
}

void CReportDocument::PaintTableHeader(double top) {
    m_painter.fillRect(QRectF(0, top, m_dPageWidth, RowHeight()), kHeaderFill);
    m_painter.setFont(m_boldFont);
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        // The judgement's title is red, as in the workbook.
        m_painter.setPen(i + 1 == m_columns.size() ? kNgInk : kInk);
        PaintCell(QRectF(m_edges.m_lefts[i], top, m_edges.m_widths[i], RowHeight()), Q(m_columns[i].m_strTitle));
    }
    m_painter.setFont(m_bodyFont);
}

void CReportDocument::PaintRow(double top, const STTableRow& row) {
    if (!row.m_bPass) m_painter.fillRect(QRectF(0, top, m_dPageWidth, RowHeight()), kNgFill);
    m_painter.setPen(row.m_bPass ? kInk : kNgInk);
    for (std::size_t i = 0; i < row.m_cells.size() && i < m_edges.m_lefts.size(); ++i)
        PaintRowCell(QRectF(m_edges.m_lefts[i], top, m_edges.m_widths[i], RowHeight()), Q(row.m_cells[i]));
}

// Light rules under every row and between the columns, a frame around the
// page's part of the table, a stronger rule under its titles.
void CReportDocument::PaintTableRules(double top, double bottom) {
    m_painter.setPen(QPen(kRule, Mm(0.12)));
    for (double y = top + 2 * RowHeight(); y < bottom - 1.0; y += RowHeight())
        m_painter.drawLine(QPointF(0, y), QPointF(m_dPageWidth, y));
    for (std::size_t i = 1; i < m_edges.m_lefts.size(); ++i)
        m_painter.drawLine(QPointF(m_edges.m_lefts[i], top), QPointF(m_edges.m_lefts[i], bottom));
    m_painter.setPen(QPen(kStrongRule, Mm(0.25)));
    m_painter.drawLine(QPointF(0, top + RowHeight()), QPointF(m_dPageWidth, top + RowHeight()));
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRectF(0, top, m_dPageWidth, bottom - top));
}

double CReportDocument::PaintSection(double top, const QString& title) {
    m_painter.setPen(kInk);
    m_painter.setFont(m_sectionFont);
    const double height = LineHeight(m_sectionFont);
    m_painter.drawText(QRectF(0, top, m_dPageWidth, height), Qt::AlignLeft | Qt::AlignVCenter, title);
    return top + height + Mm(2.0);
}

void CReportDocument::PaintClosingBlock(double top) {
    double y = PaintSection(top + Mm(6.0), QStringLiteral("Chart"));
    STVectorChart chart;
    chart.m_points.reserve(m_batch.m_itemVector.size());
    for (const auto& item : m_batch.m_itemVector)
        chart.m_points.push_back({static_cast<double>(chart.m_points.size() + 1), item->m_dAverage});
    if (m_batch.m_bUseLimit) {
        chart.m_dLimitLow = m_batch.m_dLowerLimit;
        chart.m_dLimitHigh = m_batch.m_dUpperLimit;
    }
    const STChartResources resources;
    const QRect area(0, static_cast<int>(y), static_cast<int>(m_dPageWidth), static_cast<int>(Mm(70.0)));
    PaintVectorChart(m_painter, area, m_dDpi, chart, resources);
    y += Mm(70.0) + Mm(5.0);

    y = PaintSection(y, QStringLiteral("Summary"));
    const STParameterTexts summary = SummaryTexts(m_batch);
    y = PaintGrid(y, summary.m_titles, summary.m_values) + Mm(5.0);

    y = PaintSection(y, QStringLiteral("Process Capability"));
    const STCapability capability = ComputeCapability(m_batch);
    const std::u16string ng = QString::number(capability.m_nNg).toStdU16String();
    if (capability.HasMixedScales()) {
        y = PaintGrid(y, {u"Pass Rate", u"NG Items"}, {PassRateText(capability.m_oPassRate), ng});
        m_painter.setPen(kInk);
        m_painter.setFont(m_bodyFont);
        PaintCell(QRectF(0, y, m_dPageWidth, RowHeight()), Q(MixedScalesText(capability)), Qt::AlignLeft);
    } else {
        PaintGrid(y, {u"Cp", u"Cpk", u"Pass Rate", u"NG Items"},
                  {CapabilityIndexText(capability.m_oCp), CapabilityIndexText(capability.m_oCpk),
                   PassRateText(capability.m_oPassRate), ng});
    }
}

void CReportDocument::PaintFooter(std::int32_t page) {
    const double top = m_dPageHeight - LineHeight(m_footerFont);
    m_painter.setPen(QPen(kRule, Mm(0.2)));
    m_painter.drawLine(QPointF(0, top - Mm(1.5)), QPointF(m_dPageWidth, top - Mm(1.5)));
    m_painter.setPen(kMutedInk);
    m_painter.setFont(m_footerFont);
    const QRectF line(0, top, m_dPageWidth, LineHeight(m_footerFont));
    m_painter.drawText(line, Qt::AlignLeft | Qt::AlignVCenter,
                       Q(g_stSetting.m_strTitleOne) + QStringLiteral("  \u00B7  ") +
                           Q(FormatTime(kDateSelector, m_batch.m_time)));
    m_painter.drawText(line, Qt::AlignRight | Qt::AlignVCenter,
                       QStringLiteral("Page %1 of %2").arg(page).arg(m_nPages));
}

}  // namespace

QPageSize::PageSizeId ReportPageSize(const QLocale& locale) {
    return locale.measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4;
}

void SetReportPageLayout(QPagedPaintDevice& device, const QLocale& locale) {
    device.setPageLayout(QPageLayout(QPageSize(ReportPageSize(locale)), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter));
}

STDocumentOutcome PaintReportDocument(QPagedPaintDevice& device, const STLedgermill& batch,
                                      const STDocumentControl& control) {
    QPainter painter;
    if (!painter.begin(&device)) return {EDocumentResult::kNotStarted, 0};
    CReportDocument document(device, painter, batch, control);
    const std::int32_t pages = document.CountPages();
    const bool painted = document.PaintAll(pages);
    painter.end();
    return {painted ? EDocumentResult::kPainted : EDocumentResult::kCancelled, pages};
}
