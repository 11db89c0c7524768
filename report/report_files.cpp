#include "report/report_files.h"

#include "common/paths.h"
#include "common/time_text.h"

namespace {

constexpr int kTimeDigitsSelector = 3;

}  // namespace

std::u16string ReportFolder() {
    return GetModuleDirectoryW() + u"Result/";
}

STReportFiles ReportFilesIn(std::u16string_view folder, const STLedgermill& batch) {
    const std::u16string stem = std::u16string(folder) + FormatTime(kTimeDigitsSelector, batch.m_time);
    return STReportFiles{stem + u".bmp", stem + u".xlsx"};
}

void PrepareReportFolder(std::u16string_view folder) {
    DeleteFilesByExtension(u"bmp", folder);
    CreateDirectoryTree(folder);
}
