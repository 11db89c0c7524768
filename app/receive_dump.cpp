#include "app/receive_dump.h"

#include <QDir>
#include <cerrno>
#include <cstring>

#include "app/path_bytes.h"
#include "common/file_output.h"
#include "common/file_replace.h"

std::string ReceiveDumpPath() {
    const QByteArray home = qgetenv("HOME");
    const std::string folder = home.isEmpty() ? PathBytes(QDir::homePath()) : home.toStdString();
    return folder + "/aafff.txt";
}

QString WriteReceiveDump(const std::string& path, std::string_view bytes) {
    const bool written = ReplaceEntry(path, [bytes](const std::string& temporary) {
        return WriteNewFileBytes(temporary, bytes);
    });
    if (written) return {};
    return PathText(path) + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
}
