#include "app/desktop_opener.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QThread>

#include "app/path_bytes.h"
#include "app/window_text.h"
#include "dialogs/modal.h"

namespace {
constexpr int kStartMs = 5000;

struct STOpenerCommand {
    QString m_strProgram;
    QStringList m_arguments;
};

// QProcess passes its arguments on as QFile::encodeName makes them, which
// replaces bytes that are not UTF-8. A name holding such bytes goes through
// sh instead, written as octal escapes that printf turns back into them
// (the x keeps a trailing line break from the command substitution).
STOpenerCommand OpenerCommand(const QString& program, const QString& fileName) {
    const std::string bytes = PathBytes(fileName);
    if (QFile::encodeName(fileName).toStdString() == bytes) {
        return {program, {fileName}};
    }
    QString escaped;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        escaped += value >= 0x80 || value == '\\'
                       ? QStringLiteral("\\0%1").arg(value, 3, 8, QChar(u'0'))
                       : QString(QChar(value));
    }
    return {QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("f=$(printf '%bx' \"$1\"); exec \"$0\" \"${f%x}\""),
             program, escaped}};
}
}  // namespace

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
    const STOpenerCommand command = OpenerCommand(m_strProgram, fileName);
    process->setProgram(command.m_strProgram);
    process->setArguments(command.m_arguments);
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
