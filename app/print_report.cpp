// File > Report as PDF and File > Print: the selected batch's report as a
// paged document, written as a PDF off the window's thread, or shown in a
// print preview from which it is printed.
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <cstring>

#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/paths.h"
#include "common/time_text.h"
#include "dialogs/modal.h"
#include "report/report_document.h"
#include "report/report_pdf.h"

namespace {

// Long enough to read the path.
constexpr int kPdfNoticeMs = 15000;
constexpr int kFileNameTime = 3;

}  // namespace

void CLedgermillDlg::OnReportPdf() {
    STLedgermill* batch = BatchToReport();
    if (batch == nullptr) {
        return;
    }
    // Offered in the report folder under the batch's time, as the workbook.
    CreateDirectoryTree(m_strResultFolder);
    const QString suggested = Text(m_strResultFolder) + Text(FormatTime(kFileNameTime, batch->m_time)) +
                              QStringLiteral(".pdf");
    const QString chosen = CModal::Current().SaveFileName(this, QStringLiteral("Save Report as PDF"),
                                                          QStringLiteral("PDF Files (*.pdf)"),
                                                          QStringLiteral("pdf"), suggested);
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = WithExtension(ChosenPathBytes(chosen), ".pdf");
    const QLocale locale;
    m_batches.Hold(batch);
    auto outcome = std::make_shared<STPdfOutcome>();
    m_work.Start(
        QStringLiteral("Writing the PDF report"), true,
        [batch, path, locale, outcome](STWorkProgress& progress) {
            progress.m_nTotal = batch->m_itemVector.size();
            *outcome = WriteReportPdf(*batch, path, locale, {&progress.m_nDone, &progress.m_bCancel});
        },
        [this, batch, path, outcome] {
            m_batches.Release(batch);
            if (outcome->m_eResult == EPdfResult::kWritten) {
                m_statusBar.showMessage(QStringLiteral("Report saved as %1").arg(PathText(path)), kPdfNoticeMs);
            } else if (outcome->m_eResult == EPdfResult::kNotWritten) {
                const QString reason =
                    outcome->m_nError != 0 ? QString::fromLocal8Bit(std::strerror(outcome->m_nError)) : QString();
                CModal::Current().ShowMessage(this, kMarloCaption,
                                              FailureText(QStringLiteral("Report Failed."), PathText(path), reason));
            }
            FileIfRealTime();
        });
}

// The preview paints on the window's thread whenever it needs pages, and so
// does printing from it; records filed meanwhile show at the next repaint.
void CLedgermillDlg::OnPrint() {
    const STLedgermill* batch = BatchToReport();
    if (batch == nullptr) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    SetReportPageLayout(printer);
    printer.setDocName(Text(BatchKey(*batch)));
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(QStringLiteral("Print Report"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, batch](QPrinter* target) {
        m_batches.SettleStatistics();
        PaintReportDocument(*target, *batch);
    });
    CModal::Current().Run(preview);
}
