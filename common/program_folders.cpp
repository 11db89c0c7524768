#include "common/program_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/paths.h"
#include "common/xdg_paths.h"

namespace {

constexpr const char* kStateFileName = "Marlo.conf";

bool IsPortable(const std::string& programFolder) {
    struct stat status {};
    const std::string settings = programFolder + std::string(kSettingFileName);
    return !programFolder.empty() && lstat(settings.c_str(), &status) == 0 &&
           access(programFolder.c_str(), W_OK) == 0;
}

}  // namespace

STProgramFolders ProgramFoldersFor(const std::string& programFolder) {
    STProgramFolders folders;
    folders.m_bPortable = IsPortable(programFolder);
    const std::string home = folders.m_bPortable ? programFolder : ConfigHomeDirectory() + "marlo/";
    const std::string documents = DocumentsDirectory() + "Marlo/";
    folders.m_strSettingsFile = home + std::string(kSettingFileName);
    folders.m_strStateFile = home + kStateFileName;
    folders.m_strReportFolder = (folders.m_bPortable ? programFolder : documents) + "Result/";
    folders.m_strDocumentFolder = documents;
    folders.m_strRecoveryFolder = MarloDataDirectory() + "recovered/";
    folders.m_strArchiveFile = MarloDataDirectory() + "archive.sqlite";
    return folders;
}

STProgramFolders ProgramFolders() {
    return ProgramFoldersFor(GetModuleDirectory());
}
