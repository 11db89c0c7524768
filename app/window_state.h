// What the window remembers across runs besides the settings file: the
// folder last used for batch files and the batch files used most recently.
// Kept in a small INI file of its own, so that Setting.xml keeps its bytes.
#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>

class CWindowState {
public:
    // statePath: the INI file; defaultFolder: where file dialogs start until
    // a batch file was used.
    CWindowState(const QString& statePath, QString defaultFolder);

    // The folder of the batch file used last, while it exists; else the
    // default folder.
    QString FileFolder() const;
    // FileFolder(), made first when it is the default folder and missing, so
    // that a file dialog opens there rather than in the working folder.
    QString FileFolderMade() const;
    // Newest first, at most kRecentFiles, without repeats.
    QStringList RecentFiles() const;
    // A batch file was loaded or saved: it heads the recent files and its
    // folder is where the dialogs start next time. Written at once, so that
    // a crash keeps it.
    void RememberFile(const QString& path);
    void ForgetRecentFiles();

    static constexpr int kRecentFiles = 8;

private:
    mutable QSettings m_store;
    QString m_strDefaultFolder;
};
