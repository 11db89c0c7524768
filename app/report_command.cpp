// The Report command: the selected batch's chart bitmap in the result folder
// and its workbook, made as long work and opened for the operator.
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "app/desktop_opener.h"
#include "app/ledgermill_dlg.h"
#include "app/window_text.h"
#include "chart/chart_plot.h"
#include "common/paths.h"
#include "common/utf.h"
#include "dialogs/modal.h"
#include "report/fill_workbook.h"
#include "report/report_files.h"
#include "report/report_image.h"

namespace {

// Long enough to read the path.
constexpr int kReportNoticeMs = 15000;

QString ReportFailedText(const std::u16string& path, const QString& reason) {
    return FailureText(QStringLiteral("Report Failed."), Text(path), reason);
}

struct STReportOutcome {
    bool m_bPictureWritten = false;
    EFillResult m_eResult = EFillResult::kStopped;
    std::u16string m_strWorkbook;
};

// The report image is drawn at the chart's size and limits, by a chart of
// the work's own: the window's chart goes on showing.
struct STReportChart {
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    double m_dLimitLow = 0.0;
    double m_dLimitHigh = 0.0;
};

void MakeReport(const STLedgermill& batch, const STReportChart& shape, const STReportFiles& files,
                STWorkProgress& progress, STReportOutcome& outcome) {
    progress.m_nTotal = batch.m_itemVector.size();
    outcome.m_strWorkbook = files.m_strWorkbook;
    CChartPlot chart;
    chart.Layout(shape.m_nWidth, shape.m_nHeight);
    chart.m_dLimitLow = shape.m_dLimitLow;
    chart.m_dLimitHigh = shape.m_dLimitHigh;
    DrawBatchReportImage(chart, batch);
    outcome.m_bPictureWritten = WriteReportBitmap(chart, files.m_strBitmap);
    outcome.m_eResult =
        FillWorkbook(batch, files, STFillControl{&progress.m_nDone, &progress.m_bCancel});
    // A report stopped halfway leaves nothing behind.
    if (outcome.m_eResult == EFillResult::kCancelled) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(Utf16ToUtf8(files.m_strBitmap)), ignored);
    }
}

}  // namespace

void CLedgermillDlg::OnReport() {
    STLedgermill* batch = BatchToReport();
    if (batch == nullptr) {
        return;
    }
    ShowLimits();  // the chart's limits are the batch's
    // The report's picture keeps its size however large the window is.
    const STReportChart shape{m_chart.ReportWidth(), m_chart.ReportHeight(), m_chart.m_dLimitLow,
                              m_chart.m_dLimitHigh};
    PrepareReportFolder(m_strResultFolder);
    if (!IsDirectory(m_strResultFolder)) {
        const int error = errno;
        CModal::Current().ShowMessage(this, kMarloCaption,
                                      ReportFailedText(m_strResultFolder, QString::fromLocal8Bit(std::strerror(error))));
        return;
    }
    const STReportFiles files = NewReportFilesIn(m_strResultFolder, *batch);
    m_batches.Hold(batch);
    auto outcome = std::make_shared<STReportOutcome>();
    m_work.Start(
        QStringLiteral("Writing the report"), true,
        [batch, shape, files, outcome](STWorkProgress& progress) {
            MakeReport(*batch, shape, files, progress, *outcome);
        },
        [this, batch, outcome] {
            m_batches.Release(batch);
            if (outcome->m_eResult == EFillResult::kCancelled) {
                FileIfRealTime();
                return;
            }
            // Without its picture the workbook stops short, so an unwritable
            // folder is told as plainly as an unwritable workbook.
            if (outcome->m_eResult == EFillResult::kNotSaved || !outcome->m_bPictureWritten) {
                CModal::Current().ShowMessage(this, kMarloCaption,
                                              ReportFailedText(outcome->m_strWorkbook, {}));
            } else if (outcome->m_eResult == EFillResult::kNotOpened) {
                CModal::Current().ShowMessage(this, kMarloCaption,
                                              NotOpenedText(Text(outcome->m_strWorkbook)));
            } else {
                m_statusBar.showMessage(
                    QStringLiteral("Report saved as %1").arg(Text(outcome->m_strWorkbook)),
                    kReportNoticeMs);
            }
            FileIfRealTime();
        });
}
