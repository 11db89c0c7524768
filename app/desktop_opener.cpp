#include "app/desktop_opener.h"

#include <QApplication>
#include <QProcess>
#include <QThread>

#include "app/window_text.h"
#include "dialogs/modal.h"

namespace {
constexpr int kStartMs = 5000;
}

QString NotOpenedText(const QString& fileName) {
    return QStringLiteral("No application could open the report. It is saved as %1").arg(fileName);
}

CDesktopOpener::CDesktopOpener(QString program) : m_strProgram(std::move(program)) {}

bool CDesktopOpener::Open(const QString& fileName) {
    // Reports are made off the window's thread; the opener's process lives
    // on its own thread, which tells of a failure when it comes.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this,
            [this, fileName] {
                if (!Open(fileName)) {
                    CModal::Current().ShowMessage(QApplication::activeWindow(), kMarloCaption,
                                                  NotOpenedText(fileName));
                }
            },
            Qt::QueuedConnection);
        return true;
    }
    auto* process = new QProcess(this);  // deletes itself once finished
    process->setProgram(m_strProgram);
    process->setArguments({fileName});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this,
            [process, fileName](int exitCode, QProcess::ExitStatus status) {
                process->deleteLater();
                if (status != QProcess::NormalExit || exitCode != 0) {
                    CModal::Current().ShowMessage(QApplication::activeWindow(), kMarloCaption,
                                                  NotOpenedText(fileName));
                }
            });
    process->start();
    if (!process->waitForStarted(kStartMs)) {
        delete process;
        return false;
    }
    return true;
}
