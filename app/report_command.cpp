// The Report command: the selected batch's chart bitmap in the result folder
// and its workbook, opened for the operator.
#include "app/desktop_opener.h"
#include "app/ledgermill_dlg.h"
#include "app/report_list.h"
#include "app/window_text.h"
#include "common/utf.h"
#include "dialogs/modal.h"
#include "report/fill_workbook.h"
#include "report/report_image.h"

void CLedgermillDlg::OnReport() {
    const int row = SelectedRow(m_batchList);
    if (row < 0)
        return;
    STLedgermill* batch = RowData<STLedgermill>(m_batchList, row);
    m_pCurBatch = batch;
    if (batch == nullptr)
        return;
    if (batch->m_itemVector.empty()) {
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("No Data."));
        return;
    }

    DrawBatchReportImage(m_chart, *batch);
    PrepareReportFolder(m_strResultFolder);
    const STReportFiles files = NewReportFilesIn(m_strResultFolder, *batch);
    const bool pictureWritten = WriteReportBitmap(m_chart, files.m_strBitmap);

    const EFillResult result = FillWorkbook(*batch, files);
    // Without its picture the workbook stops short, so an unwritable folder
    // is told as plainly as an unwritable workbook.
    if (result == EFillResult::kNotSaved || !pictureWritten) {
        CModal::Current().ShowMessage(this, kMarloCaption, QStringLiteral("Report Failed."));
    } else if (result == EFillResult::kNotOpened) {
        CModal::Current().ShowMessage(this, kMarloCaption,
                                      NotOpenedText(Text(files.m_strWorkbook)));
    }
}
