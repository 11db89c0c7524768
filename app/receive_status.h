// The status line under the main window: the port's state, what this open
// spell has received, when the last complete record came, and the journal
// that keeps every byte.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <QString>
#include <QTimer>

#include "app/receive_session.h"

// "9600 8N1": baud rate, data bits, parity letter, stop bits.
QString LineSettingsText(const STLineSettings& line);
// Why Open failed, naming the port and its device; a permission error adds
// the dialout hint.
QString OpenFailureText(int comNumber, const STOpenFailure& failure);
QString PortStateText(const CReceiveSession& session);

class CReceiveStatusBar : public QStatusBar {
public:
    CReceiveStatusBar(const CReceiveSession& session, QWidget* parent);

    // Shows the session as it is now; while the port is open the counts are
    // refreshed a few times a second.
    void Refresh();
    QString PortText() const { return m_port.text(); }
    QString CountsText() const { return m_counts.text(); }
    QString JournalText() const { return m_journal.text(); }

private:
    const CReceiveSession& m_session;
    QLabel m_port;
    QLabel m_counts;
    QLabel m_lastRecord;
    QLabel m_journal;
    QTimer m_refresh;
};
