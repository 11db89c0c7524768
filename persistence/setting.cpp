#include "persistence/setting.h"

#include <filesystem>
#include <system_error>

#include "common/paths.h"
#include "common/program_folders.h"
#include "common/utf.h"
#include "persistence/serializer.h"

STSetting g_stSetting;

namespace {

constexpr std::string_view kSettingClass = "STSetting";
constexpr std::string_view kArchiveServerClass = "STArchiveServerSetting";

// The fields of the settings, in file order.
struct SettingFields {
    template <class Setting, class Field>
    void operator()(Setting& setting, const Field& field) const {
        field("m_nCom", setting.m_nCom);
        field("m_ulBaudRate", setting.m_ulBaudRate);
        field("m_ucSize", setting.m_ucSize);
        field("m_ucParity", setting.m_ucParity);
        field("m_ucStopBits", setting.m_ucStopBits);
        field("m_bShowOnline", setting.m_bShowOnline);
        field("m_nTestModel", setting.m_nTestModel);
        field("m_nTestMethod", setting.m_nTestMethod);
        field("m_dUpperLimit", setting.m_dUpperLimit);
        field("m_dLowerLimit", setting.m_dLowerLimit);
        field("m_bUseLimit", setting.m_bUseLimit);
        field("m_strTitleOne", setting.m_strTitleOne);
        field("m_strTitleTwo", setting.m_strTitleTwo);
        field("m_strOperator", setting.m_strOperator);
        field("m_strDepartment", setting.m_strDepartment);
        field("m_strSpecimen", setting.m_strSpecimen);
        field("m_dSamplingRate", setting.m_dSamplingRate);
    }
};

struct ArchiveServerFields {
    template <class Setting, class Field>
    void operator()(Setting& server, const Field& field) const {
        field("m_bUse", server.m_bUse);
        field("m_strHost", server.m_strHost);
        field("m_nPort", server.m_nPort);
        field("m_strDatabase", server.m_strDatabase);
        field("m_strUser", server.m_strUser);
    }
};

}  // namespace

void ResetDefaults(STSetting& setting) {
    setting = STSetting();
}

void WriteSetting(const STSetting& setting, STXmlNode* parent, std::string_view name) {
    WriteRecordElement(setting, parent, name, kSettingClass, SettingFields{});
}

bool ReadSetting(const STXmlNode* parent, std::string_view name, STSetting& setting) {
    return ReadRecordElement(parent, name, setting, SettingFields{});
}

std::string SettingsFilePath() {
    return ProgramFolders().m_strSettingsFile;
}

STSettingsRead LoadSettings(const std::string& path) {
    CSerializer archive;
    std::string failure;
    if (archive.OpenForRead(path, &failure)) {
        ReadSetting(archive.GetRoot(), kSettingInstanceName, g_stSetting);
        ReadRecordElement(archive.GetRoot(), kArchiveServerInstanceName, g_stSetting.m_archiveServer,
                          ArchiveServerFields{});
        return {};
    }
    ResetDefaults(g_stSetting);
    std::error_code ignored;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, ignored))) {
        return {};  // a first run: the defaults become the file
    }
    return {false, failure.empty() ? path + ": not a settings file" : failure};
}

bool SaveSettings(const std::string& path) {
    // The first save of an installed copy makes its configuration folder.
    const std::size_t folderEnd = path.rfind('/');
    if (folderEnd != std::string::npos && folderEnd > 0) {
        CreateDirectoryTree(Utf8ToUtf16(path.substr(0, folderEnd)));
    }
    CSerializer archive;
    archive.OpenForWrite();
    WriteSetting(g_stSetting, archive.GetRoot(), kSettingInstanceName);
    if (g_stSetting.m_archiveServer != STArchiveServerSetting()) {
        WriteRecordElement(g_stSetting.m_archiveServer, archive.GetRoot(), kArchiveServerInstanceName,
                           kArchiveServerClass, ArchiveServerFields{});
    }
    return archive.SaveFile(path);
}
