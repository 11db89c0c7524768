#include "report/report_pdf.h"

#include <QBuffer>
#include <QByteArray>
#include <QPdfWriter>
#include <cerrno>
#include <string_view>

#include "common/file_output.h"
#include "common/file_replace.h"
#include "persistence/setting.h"

namespace {

// Fine enough for crisp bars and rules, small enough to keep coordinates short.
constexpr int kResolution = 600;

// The document in memory: a QPdfWriter cannot tell when its file fails, so
// the bytes go to the file through ReplaceFile, which can.
STDocumentOutcome PaintPdf(QByteArray& bytes, const STLedgermill& batch, const QLocale& locale,
                           const STDocumentControl& control) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kResolution);
    writer.setCreator(QStringLiteral("Marlo"));
    writer.setTitle(QString::fromStdU16String(g_stSetting.m_strTitleOne));
    SetReportPageLayout(writer, locale);
    return PaintReportDocument(writer, batch, control);
}

}  // namespace

STPdfOutcome WriteReportPdf(const STLedgermill& batch, const std::string& path, const QLocale& locale,
                            const STDocumentControl& control) {
    QByteArray bytes;
    const STDocumentOutcome painted = PaintPdf(bytes, batch, locale, control);
    if (painted.m_eResult == EDocumentResult::kCancelled) return {EPdfResult::kCancelled, 0, painted.m_nPages};
    if (painted.m_eResult != EDocumentResult::kPainted) return {EPdfResult::kNotWritten, ENOMEM, 0};
    const std::string_view content(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    errno = 0;
    if (!ReplaceFile(path, [content](const std::string& temporary) { return WriteNewFileBytes(temporary, content); }))
        return {EPdfResult::kNotWritten, errno != 0 ? errno : EIO, painted.m_nPages};
    return {EPdfResult::kWritten, 0, painted.m_nPages};
}
