// The report document as a PDF file, written whole or not at all.
#pragma once

#include <QLocale>
#include <cstdint>
#include <string>

#include "model/ledgermill.h"
#include "report/report_document.h"

enum class EPdfResult {
    kWritten,
    kCancelled,  // stopped on request; no file written
    kNotWritten, // m_nError says why; whatever was at the path is as it was
};

struct STPdfOutcome {
    EPdfResult m_eResult = EPdfResult::kNotWritten;
    // errno of the failed step for kNotWritten, else 0.
    int m_nError = 0;
    std::int32_t m_nPages = 0;
};

// Lays the report out on the locale's paper (SetReportPageLayout), paints
// it into memory and replaces path with it. Never throws and shows nothing:
// the caller tells the operator. Safe on a worker thread, see
// PaintReportDocument.
STPdfOutcome WriteReportPdf(const STLedgermill& batch, const std::string& path, const QLocale& locale = QLocale(),
                            const STDocumentControl& control = {});
