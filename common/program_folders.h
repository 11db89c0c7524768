// Where the program keeps its settings, its window state, its reports and
// the batches it rescued at an abrupt end.
//
// An installed program keeps them in the user's XDG folders. A copy that
// already has its settings file beside the executable, in a folder it may
// write (the build folder, a copy on a USB stick), is portable and keeps
// settings and reports there. Every folder ends with '/'; none is created
// here.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kSettingFileName = "Setting.xml";

struct STProgramFolders {
    bool m_bPortable = false;
    // Setting.xml.
    std::string m_strSettingsFile;
    // The window's own state beside the settings: the folder last used for
    // batch files and the recent files.
    std::string m_strStateFile;
    // Where Report writes its bitmap and workbook.
    std::string m_strReportFolder;
    // Where the file dialogs start before a folder was used.
    std::string m_strDocumentFolder;
    // Where batches with unsaved changes are written when the program is
    // ended by a signal or the session.
    std::string m_strRecoveryFolder;
    // The lab archive's SQLite file.
    std::string m_strArchiveFile;
};

// The folders for a program that lies in programFolder (ending with '/').
STProgramFolders ProgramFoldersFor(const std::string& programFolder);
// The folders for the running executable.
STProgramFolders ProgramFolders();
