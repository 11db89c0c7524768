// The report workbook, filled cell by cell through the automation layer:
// header block, measurement table, chart picture and summary, every cell
// bordered; then saved and shown.
#pragma once

#include <atomic>
#include <cstdint>

#include "model/ledgermill.h"
#include "report/report_files.h"

enum class EFillResult {
    kFilled,     // saved, and opened when an opener is installed
    kStopped,    // an automation call failed; no workbook
    kNotSaved,   // the workbook file could not be written, or one of its name exists
    kNotOpened,  // saved as files.m_strWorkbook, but nothing opened it
    kCancelled,  // stopped on request before saving; no workbook
};

// For a report made off the caller's thread: item rows written so far, and
// a request to stop, looked at after every row.
struct STFillControl {
    std::atomic<std::uint64_t>* m_pRowsDone = nullptr;
    const std::atomic<bool>* m_pCancel = nullptr;
};

// The picture is files.m_strBitmap; the workbook is saved as
// files.m_strWorkbook, which is never replaced: an existing file of that name
// ends the report as kNotSaved (NewReportFilesIn finds a free name). Texts
// and the sampling rate come from g_stSetting; limits and the NG/Pass column
// from the batch.
EFillResult FillWorkbook(const STLedgermill& batch, const STReportFiles& files,
                         const STFillControl& control = {});
