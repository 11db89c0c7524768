// The whole report as a paged document, painted onto any paged device: a
// PDF writer, or a printer for printing and print preview. Header block,
// measurement table (its column titles on every page, NG rows in red), the
// chart drawn as vectors, the summary and, on the last page, the process
// capability; "Page n of N" at the foot of every page. No widgets, so it
// runs on a worker thread; fonts need a QGuiApplication to exist.
#pragma once

#include <QLocale>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <atomic>
#include <cstdint>

#include "model/ledgermill.h"

// For a document made off the caller's thread: item rows painted so far,
// and a request to stop, looked at before every row.
struct STDocumentControl {
    std::atomic<std::uint64_t>* m_pRowsDone = nullptr;
    const std::atomic<bool>* m_pCancel = nullptr;
};

enum class EDocumentResult {
    kPainted,
    kCancelled,
    // The device could not be painted on (a printer or file it cannot open).
    kNotStarted,
};

struct STDocumentOutcome {
    EDocumentResult m_eResult = EDocumentResult::kNotStarted;
    std::int32_t m_nPages = 0;
};

// Letter where the locale measures in US units, A4 elsewhere.
QPageSize::PageSizeId ReportPageSize(const QLocale& locale);

// Portrait, the locale's paper, 15 mm margins: what the document is laid
// out for. A printer's own choice of paper may be kept instead; the
// document fits itself to whatever page the device has.
void SetReportPageLayout(QPagedPaintDevice& device, const QLocale& locale = QLocale());

// Paints the batch's report on the device's pages, from the first. Texts
// and the sampling rate come from g_stSetting, limits and NG/Pass from the
// batch. A batch without items gives one page with an empty table.
STDocumentOutcome PaintReportDocument(QPagedPaintDevice& device, const STLedgermill& batch,
                                      const STDocumentControl& control = {});
