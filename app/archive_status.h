// What the status line says of the archive: a batch archived, for a moment;
// batches waiting for the shared server, while they wait; the station's own
// archive failing, until it works again. It sits beside the port's state
// and never hides it.
#pragma once

#include <QLabel>
#include <QString>
#include <QTimer>

#include "app/archive_service.h"

// The report as the operator reads it.
QString ArchiveReportText(const STArchiveReport& report);

class CArchiveStatus : public QLabel {
public:
    explicit CArchiveStatus(QWidget* parent);

    void Show(const STArchiveReport& report);
    // Another server or none: what waited for the last one is no longer news.
    void ForgetServer();
    // The whole text, which the label may shorten.
    QString FullText() const { return toolTip(); }

private:
    void Update();

    QString m_strFailure;
    QString m_strWaiting;
    QString m_strNews;
    QTimer m_newsEnd;
};
