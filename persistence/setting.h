// The user's settings: one record for the whole run, read from Setting.xml
// beside the executable at start-up and written back at exit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/program_folders.h"
#include "persistence/xml_node.h"

// The PostgreSQL server that holds the archive the lab shares. Never a
// password: libpq takes it from ~/.pgpass or PGPASSWORD.
struct STArchiveServerSetting {
    // Off keeps the archive on this station only.
    bool m_bUse = false;
    std::u16string m_strHost;
    std::int32_t m_nPort = 5432;
    std::u16string m_strDatabase = u"marlo";
    std::u16string m_strUser;

    bool operator==(const STArchiveServerSetting&) const = default;
};

struct STSetting {
    // Serial port "COM" + m_nCom, and its line parameters. Parity: 0 none,
    // 1 odd, 2 even, 3 mark, 4 space. Stop bits: 0 one, 1 one and a half,
    // 2 two.
    std::int32_t m_nCom = 1;
    std::uint32_t m_ulBaudRate = 115200;
    std::uint8_t m_ucSize = 8;
    std::uint8_t m_ucParity = 0;
    std::uint8_t m_ucStopBits = 0;
    // Real-time display: transmissions are added as they complete.
    bool m_bShowOnline = false;
    // Defaults for new batches.
    std::int32_t m_nTestModel = 0;
    std::int32_t m_nTestMethod = 0;
    double m_dUpperLimit = 3000.0;
    double m_dLowerLimit = 0.0;
    bool m_bUseLimit = true;
    // Report texts.
    std::u16string m_strTitleOne = u"TitleOne";
    std::u16string m_strTitleTwo = u"TitleTwo";
    std::u16string m_strOperator = u"Operator";
    std::u16string m_strDepartment = u"Department";
    std::u16string m_strSpecimen = u"Specimen";
    // Percent, printed in the report.
    double m_dSamplingRate = 1.0;
    // Kept in a record of its own after the settings, and only once set, so
    // that a station without it writes the settings file it always wrote.
    STArchiveServerSetting m_archiveServer{};
};

extern STSetting g_stSetting;

inline constexpr std::string_view kSettingInstanceName = "g_stSetting";
inline constexpr std::string_view kArchiveServerInstanceName = "g_stArchiveServer";

void ResetDefaults(STSetting& setting);

void WriteSetting(const STSetting& setting, STXmlNode* parent, std::string_view name);
// False when parent is null or has no child of that name; fields found
// replace the setting's, the others stay.
bool ReadSetting(const STXmlNode* parent, std::string_view name, STSetting& setting);

// Setting.xml where the program keeps it: beside a portable copy, else
// under the user's XDG configuration folder.
std::string SettingsFilePath();

// What reading the settings file found.
struct STSettingsRead {
    // False when a file is there but could not be read or holds no settings
    // archive: the defaults are used, and that file must not be written
    // over, for it may be the operator's.
    bool m_bWritable = true;
    // Why, naming the file, when not writable.
    std::string m_strFailure;
};

// Reads g_stSetting from the file; a missing, unreadable or foreign file
// gives the defaults.
STSettingsRead LoadSettings(const std::string& path = SettingsFilePath());
// Replaces the file with g_stSetting; false when it could not be written.
bool SaveSettings(const std::string& path = SettingsFilePath());
