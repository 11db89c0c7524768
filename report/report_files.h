// Where a report's files go: the chart bitmap and the workbook, named by the
// batch's creation time, in the program's result folder.
#pragma once

#include <string>
#include <string_view>

#include "model/ledgermill.h"

struct STReportFiles {
    std::u16string m_strBitmap;
    std::u16string m_strWorkbook;
};

// folder + the 14-digit creation time + ".bmp" and ".xlsx".
STReportFiles ReportFilesIn(std::u16string_view folder, const STLedgermill& batch);
// ReportFilesIn's names, with the first workbook name no entry of the folder
// has yet: "<time>.xlsx", else "<time>-2.xlsx", "<time>-3.xlsx" and so on. A
// later report of the same batch so keeps the earlier workbooks, which may
// have been edited since. A name that cannot be looked up counts as free: its
// save fails rather than the search going on.
STReportFiles NewReportFilesIn(std::u16string_view folder, const STLedgermill& batch);
// Deletes the folder's older bitmaps, so that only the newest report's
// remains, and creates the folder with its missing parents. Neither result
// matters: a bitmap that cannot be written shows as a report without a
// picture.
void PrepareReportFolder(std::u16string_view folder);
