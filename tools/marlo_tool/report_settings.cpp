#include "tools/marlo_tool/report_settings.h"

#include <vector>

#include "common/file_bytes.h"
#include "common/text.h"
#include "persistence/setting.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

bool EndsWith(std::string_view path, std::string_view extension) {
    std::string tail(path.substr(path.size() < extension.size() ? 0 : path.size() - extension.size()));
    std::string wanted(extension);
    return StringToLower(tail) == StringToLower(wanted);
}

}  // namespace

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

std::optional<STDocumentCommand> ReadDocumentCommand(Arguments arguments, const STDocumentKind& kind) {
    const auto usageError = [&kind](std::string_view problem) {
        ReportUsageError(problem, kind.m_usage);
        return std::nullopt;
    };
    STDocumentCommand command;
    std::vector<std::string_view> operands;
    CArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        if (argument == "--settings") {
            const std::optional<std::string_view> settings = reader.TakeValue();
            if (!settings || IsStandardStream(*settings)) return usageError("--settings takes a settings file");
            command.m_oSettings = std::string(*settings);
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.size() != 2) return usageError(kind.m_operandsProblem);
    if (IsStandardStream(operands[1])) return usageError(kind.m_standardOutputProblem);
    if (!EndsWith(operands[1], kind.m_extension)) return usageError(kind.m_extensionProblem);
    command.m_strInput = operands[0];
    command.m_strOutput = operands[1];
    return command;
}

std::optional<int> LoadDocumentInputs(const STDocumentCommand& command, STLedgermill& batch) {
    if (!LoadBatch(command.m_strInput, batch)) return kExitFailure;
    if (batch.m_itemVector.empty()) return ReportFailure("marlo-tool: No Data.");
    if (std::string failure; !LoadReportSettings(command.m_oSettings, failure))
        return ReportFailure("marlo-tool: cannot read " + failure);
    return std::nullopt;
}
