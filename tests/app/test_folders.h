// The program's folders for a test: a portable copy whose settings, state,
// reports and rescued batches all lie in the test's own folder.
#pragma once

#include <string>

#include "common/program_folders.h"

// root ends with '/'.
inline STProgramFolders PortableFoldersIn(const std::string& root) {
    STProgramFolders folders;
    folders.m_bPortable = true;
    folders.m_strSettingsFile = root + "Setting.xml";
    folders.m_strStateFile = root + "Marlo.conf";
    folders.m_strReportFolder = root + "Result/";
    folders.m_strDocumentFolder = root + "Documents/Marlo/";
    folders.m_strRecoveryFolder = root + "recovered/";
    return folders;
}
