#include "app/receive_status.h"

#include <QDateTime>
#include <QDir>
#include <QFontMetrics>

namespace {

constexpr int kRefreshMs = 250;
// The journal's path is shortened in its middle to this width, so that long
// work still finds room in the status line; its tooltip holds it whole.
constexpr int kJournalPathWidth = 240;

QString PortName(int comNumber) {
    return QStringLiteral("COM%1").arg(comNumber);
}

QString Device(const std::string& path) {
    return QString::fromStdString(path);
}

// Home folder shown as ~, as a shell would.
QString ShortPath(const std::string& path) {
    const QString full = QString::fromStdString(path);
    const QString home = QDir::homePath();
    return full.startsWith(home + u'/') ? u'~' + full.mid(home.size()) : full;
}

}  // namespace

QString LineSettingsText(const STLineSettings& line) {
    static const char kParity[] = {'N', 'O', 'E', 'M', 'S'};
    const QChar parity = line.m_ucParity < sizeof kParity ? QChar(kParity[line.m_ucParity]) : u'?';
    const QString stop = line.m_ucStopBits == 1   ? QStringLiteral("1.5")
                         : line.m_ucStopBits == 2 ? QStringLiteral("2")
                                                  : QStringLiteral("1");
    return QStringLiteral("%1 %2%3%4")
        .arg(line.m_ulBaudRate)
        .arg(line.m_ucSize)
        .arg(parity)
        .arg(stop);
}

QString OpenFailureText(int comNumber, const STOpenFailure& failure) {
    const QString port =
        QStringLiteral("%1 (%2)").arg(PortName(comNumber), Device(failure.m_strDevice));
    if (failure.m_bInUse) {
        return port + QStringLiteral(" is ") + QString::fromStdString(failure.m_strReason);
    }
    QString text = port + QStringLiteral(": ") + QString::fromStdString(failure.m_strReason);
    if (failure.m_strReason.find("Permission denied") != std::string::npos) {
        text += QStringLiteral(" \u2014 the user must be in the dialout group");
    }
    return text;
}

QString PortStateText(const CReceiveSession& session) {
    const int com = session.Parameters().m_nCom;
    const QString device = Device(session.DevicePath());
    switch (session.State()) {
        case EPortState::kClosed:
            return QStringLiteral("Port closed");
        case EPortState::kOpen:
            return QStringLiteral("%1 \u2192 %2, %3%4")
                .arg(PortName(com), device, LineSettingsText(session.Parameters().m_line),
                     session.Reopened() ? QStringLiteral(" (reopened after the device returned)")
                                        : QString());
        case EPortState::kWaitingForDevice:
            return QStringLiteral("%1 (%2) disconnected, waiting for the device to return")
                .arg(PortName(com), device);
        case EPortState::kDisconnected:
            return QStringLiteral("%1 (%2) disconnected; the device did not return")
                .arg(PortName(com), device);
        case EPortState::kFailed:
            return OpenFailureText(com, session.Failure());
    }
    return {};
}

CReceiveStatusBar::CReceiveStatusBar(const CReceiveSession& session, QWidget* parent)
    : QStatusBar(parent), m_session(session) {
    setSizeGripEnabled(false);
    addWidget(&m_port, 1);
    addPermanentWidget(&m_counts);
    addPermanentWidget(&m_lastRecord);
    addPermanentWidget(&m_journal);
    m_refresh.setInterval(kRefreshMs);
    QObject::connect(&m_refresh, &QTimer::timeout, this, [this] { Refresh(); });
    Refresh();
}

void CReceiveStatusBar::Refresh() {
    m_port.setText(PortStateText(m_session));
    m_port.setToolTip(m_port.text());
    const bool open = m_session.State() == EPortState::kOpen;
    m_counts.setText(open || m_session.SpellBytes() > 0 ? QStringLiteral("%1 bytes, %2 records")
                                                              .arg(m_session.SpellBytes())
                                                              .arg(m_session.SpellRecords())
                                                        : QString());
    m_lastRecord.setText(m_session.LastRecordTime()
                             ? QStringLiteral("last record %1")
                                   .arg(QDateTime::fromSecsSinceEpoch(*m_session.LastRecordTime())
                                            .toString(QStringLiteral("HH:mm:ss")))
                             : QString());
    const std::string error = m_session.JournalError();
    if (!error.empty()) {
        m_journal.setText(QStringLiteral("Journal failed: %1").arg(QString::fromStdString(error)));
    } else if (!m_session.JournalPath().empty()) {
        m_journal.setText(QStringLiteral("Journal: %1")
                              .arg(m_journal.fontMetrics().elidedText(
                                  ShortPath(m_session.JournalPath()), Qt::ElideMiddle,
                                  kJournalPathWidth)));
    } else {
        m_journal.clear();
    }
    m_journal.setToolTip(QString::fromStdString(m_session.JournalPath()));
    if (open != m_refresh.isActive()) {
        open ? m_refresh.start() : m_refresh.stop();
    }
}
