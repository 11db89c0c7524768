#include "tools/marlo_tool/report_settings.h"

#include "common/file_bytes.h"
#include "persistence/setting.h"

bool LoadReportSettings(const std::optional<std::string>& settings, std::string& failure) {
    if (!settings) {
        LoadSettings(SettingsFilePath());
        return true;
    }
    std::string bytes;
    if (!ReadFileBytes(*settings, bytes, &failure)) return false;
    LoadSettings(*settings);
    return true;
}
