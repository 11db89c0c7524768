#include "app/archive_status.h"

namespace {

// Long enough to be seen; archiving is routine, not an event.
constexpr int kNewsMs = 5000;
// Room left for the port's state, however long a server's answer is.
constexpr int kLongestWidth = 360;

}  // namespace

QString ArchiveReportText(const STArchiveReport& report) {
    const QString reason = QString::fromStdString(report.m_strReason);
    switch (report.m_eKind) {
        case STArchiveReport::EKind::kArchived:
            return QStringLiteral("Archived %1").arg(QString::fromStdU16String(report.m_strKey));
        case STArchiveReport::EKind::kWaiting:
            if (report.m_nWaiting < 0) {
                return QStringLiteral("Batches waiting for the archive server: %1").arg(reason);
            }
            return QStringLiteral("%1 %2 waiting for the archive server: %3")
                .arg(report.m_nWaiting)
                .arg(report.m_nWaiting == 1 ? QStringLiteral("batch") : QStringLiteral("batches"), reason);
        case STArchiveReport::EKind::kServerCurrent:
            return QStringLiteral("The archive server has every batch");
        case STArchiveReport::EKind::kFailed:
            return QStringLiteral("Archive failed: %1").arg(reason);
    }
    return {};
}

CArchiveStatus::CArchiveStatus(QWidget* parent) : QLabel(parent) {
    setAccessibleName(QStringLiteral("Archive"));
    m_newsEnd.setSingleShot(true);
    m_newsEnd.setInterval(kNewsMs);
    QObject::connect(&m_newsEnd, &QTimer::timeout, this, [this] {
        m_strNews.clear();
        Update();
    });
}

void CArchiveStatus::Show(const STArchiveReport& report) {
    const QString text = ArchiveReportText(report);
    switch (report.m_eKind) {
        case STArchiveReport::EKind::kArchived:
            m_strFailure.clear();
            m_strNews = text;
            m_newsEnd.start();
            break;
        case STArchiveReport::EKind::kWaiting:
            m_strWaiting = text;
            break;
        case STArchiveReport::EKind::kServerCurrent:
            // Said only when batches had been waiting.
            if (!m_strWaiting.isEmpty()) {
                m_strNews = text;
                m_newsEnd.start();
            }
            m_strWaiting.clear();
            break;
        case STArchiveReport::EKind::kFailed:
            m_strFailure = text;
            break;
    }
    Update();
}

void CArchiveStatus::ForgetServer() {
    m_strWaiting.clear();
    Update();
}

// A failure outweighs batches waiting, and both outweigh news.
void CArchiveStatus::Update() {
    const QString text = !m_strFailure.isEmpty()   ? m_strFailure
                         : !m_strWaiting.isEmpty() ? m_strWaiting
                                                   : m_strNews;
    setToolTip(text);
    setAccessibleDescription(text);
    setText(fontMetrics().elidedText(text, Qt::ElideRight, kLongestWidth));
}
