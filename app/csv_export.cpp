// File > Export CSV: the selected batch's measurement table, or its readings,
// as a CSV file that the spreadsheets of the user's locale read as they are.
#include <QLocale>
#include <cerrno>
#include <cstring>

#include "app/csv_options.h"
#include "app/ledgermill_dlg.h"
#include "app/path_bytes.h"
#include "app/window_text.h"
#include "common/paths.h"
#include "dialogs/modal.h"
#include "persistence/text_file.h"
#include "report/batch_csv.h"

namespace {

// Long enough to read the path.
constexpr int kExportNoticeMs = 15000;
// The file types of the save dialog, by the rows they hold.
constexpr int kOneRowPerReading = 1;

}  // namespace

STCsvOptions CsvOptionsOfLocale(bool perReading) {
    const QString decimalPoint = QLocale().decimalPoint();
    STCsvOptions options = CsvOptionsForDecimalMark(decimalPoint.isEmpty() ? u'.' : decimalPoint.front().unicode());
    options.m_bPerReading = perReading;
    options.m_bByteOrderMark = true;
    return options;
}

void CLedgermillDlg::OnExportCsv() {
    STLedgermill* batch = CommandBatch();
    if (batch == nullptr) {
        return;
    }
    int fileType = 0;
    const QString chosen = CModal::Current().SaveFileNameOfType(
        this, QStringLiteral("Export CSV File"),
        {QStringLiteral("CSV Files, one row per item (*.csv)"),
         QStringLiteral("CSV Files, one reading per row (*.csv)")},
        QStringLiteral("csv"), m_state.FileFolderMade(), fileType);
    if (chosen.isEmpty()) {
        return;
    }
    const std::string path = WithExtension(ChosenPathBytes(chosen), ".csv");
    const STCsvOptions options = CsvOptionsOfLocale(fileType == kOneRowPerReading);
    m_batches.SettleStatistics();
    m_batches.Hold(batch);
    auto error = std::make_shared<int>(0);
    m_work.Start(
        QStringLiteral("Exporting %1").arg(PathText(path)), false,
        [path, batch, options, error](STWorkProgress&) {
            if (!WriteTextFile(path, BatchCsv(*batch, options))) {
                *error = errno != 0 ? errno : EIO;
            }
        },
        [this, path, batch, error] {
            m_batches.Release(batch);
            if (*error != 0) {
                CModal::Current().ShowMessage(this, kMarloCaption,
                                              FailureText(QStringLiteral("Export Failed."), PathText(path),
                                                          QString::fromLocal8Bit(std::strerror(*error))));
            } else {
                m_statusBar.showMessage(QStringLiteral("CSV saved as %1").arg(PathText(path)), kExportNoticeMs);
            }
            FileIfRealTime();
        });
}
