#include "report/report_files.h"

#include <sys/stat.h>

#include "common/number_text.h"
#include "common/paths.h"
#include "common/time_text.h"
#include "common/utf.h"

namespace {

constexpr int kTimeDigitsSelector = 3;

// Any entry counts, a dangling symbolic link too: the save would not take
// its name either.
bool IsTaken(const std::u16string& path) {
    struct stat status {};
    return ::lstat(Utf16ToUtf8(path).c_str(), &status) == 0;
}

std::u16string StemOf(std::u16string_view folder, const STLedgermill& batch) {
    return std::u16string(folder) + FormatTime(kTimeDigitsSelector, batch.m_time);
}

}  // namespace

STReportFiles ReportFilesIn(std::u16string_view folder, const STLedgermill& batch) {
    const std::u16string stem = StemOf(folder, batch);
    return STReportFiles{stem + u".bmp", stem + u".xlsx"};
}

STReportFiles NewReportFilesIn(std::u16string_view folder, const STLedgermill& batch) {
    STReportFiles files = ReportFilesIn(folder, batch);
    const std::u16string stem = StemOf(folder, batch);
    for (std::int32_t number = 2; IsTaken(files.m_strWorkbook); ++number)
        files.m_strWorkbook = stem + u"-" + IntToText(number) + u".xlsx";
    return files;
}

void PrepareReportFolder(std::u16string_view folder) {
    DeleteFilesByExtension(u"bmp", folder);
    CreateDirectoryTree(folder);
}
