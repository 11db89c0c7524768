#include "app/window_state.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kFolderKey = QStringLiteral("files/folder");
const QString kRecentKey = QStringLiteral("files/recent");

}  // namespace

CWindowState::CWindowState(const QString& statePath, QString defaultFolder)
    : m_store(statePath, QSettings::IniFormat), m_strDefaultFolder(std::move(defaultFolder)) {}

QString CWindowState::FileFolder() const {
    const QString folder = m_store.value(kFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : m_strDefaultFolder;
}

QString CWindowState::FileFolderMade() const {
    const QString folder = FileFolder();
    QDir().mkpath(folder);
    return folder;
}

QStringList CWindowState::RecentFiles() const {
    return m_store.value(kRecentKey).toStringList().mid(0, kRecentFiles);
}

void CWindowState::RememberFile(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList recent = RecentFiles();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    m_store.setValue(kRecentKey, recent.mid(0, kRecentFiles));
    m_store.setValue(kFolderKey, QFileInfo(absolute).absolutePath());
    m_store.sync();
}

void CWindowState::ForgetRecentFiles() {
    m_store.remove(kRecentKey);
    m_store.sync();
}
