#include "report/report_image.h"

#include "chart/bitmap_file.h"
#include "common/utf.h"

void DrawBatchReportImage(CChartPlot& chart, const STLedgermill& batch) {
    chart.ClearReportData();
    for (const auto& item : batch.m_itemVector)
        chart.AddReportData({chart.GetReportDataCount() + 1.0, item->m_dAverage});
    chart.DrawReportImage();
}

bool WriteReportBitmap(const CChartPlot& chart, const std::u16string& path) {
    return WriteBitmapFile(Utf16ToUtf8(path), chart.GetReportImage());
}
