// Opens a saved file in the desktop's application for it, through xdg-open,
// and tells the operator when none could: xdg-open's exit status is the only
// word on that, and it may come long after the start (some openers wait for
// the application to close), so it is awaited without blocking the window.
#pragma once

#include <QObject>
#include <QString>

class CDesktopOpener : public QObject {
public:
    explicit CDesktopOpener(QString program = QStringLiteral("xdg-open"));

    // Starts the opener for fileName; false when it cannot even start. Called
    // from another thread, it starts on its own thread and returns true; a
    // failure to start is then shown as a later failure is. A later failure
    // shows "No application could open the report. It is
    // saved as <fileName>".
    bool Open(const QString& fileName);

private:
    QString m_strProgram;
};

// The message for a report no application could open.
QString NotOpenedText(const QString& fileName);
