// csv: the measurement table of a batch file, or its readings, as RFC 4180 CSV.
#include <optional>
#include <string>
#include <vector>

#include "common/text.h"
#include "persistence/text_file.h"
#include "report/batch_csv.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

struct CsvOptions {
    std::string m_strInput;
    std::optional<std::string> m_strOutput;
    STCsvOptions m_table;
};

std::optional<CsvOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kCsvUsage);
        return std::nullopt;
    };
    CsvOptions options;
    std::vector<std::string_view> operands;
    CArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        if (argument == "--delimiter") {
            const std::optional<std::string_view> delimiter = reader.TakeValue();
            if (!delimiter || !IsCsvDelimiter(*delimiter)) {
                return usageError("--delimiter takes exactly one character");
            }
            options.m_table.m_strDelimiter = *delimiter;
        } else if (argument == "--per-reading") {
            options.m_table.m_bPerReading = true;
        } else if (argument == "--decimal-comma") {
            options.m_table.m_bDecimalComma = true;
        } else if (argument == "--bom") {
            options.m_table.m_bByteOrderMark = true;
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            operands.push_back(argument);
        }
    }
    if (operands.empty() || operands.size() > 2) {
        return usageError("give one batch file and at most one output file");
    }
    options.m_strInput = operands[0];
    if (operands.size() == 2) {
        options.m_strOutput = operands[1];
    }
    return options;
}

}  // namespace

int RunCsv(Arguments arguments) {
    const std::optional<CsvOptions> options = ReadOptions(arguments);
    if (!options) {
        return kExitUsage;
    }
    STLedgermill batch;
    if (!LoadBatch(options->m_strInput, batch)) {
        return kExitFailure;
    }
    // WriteTextFile writes every LF as CR LF; standard output gets the same.
    std::string csv = BatchCsv(batch, options->m_table);
    if (!options->m_strOutput || IsStandardStream(*options->m_strOutput)) {
        return WriteStandardOutput(StringReplaceAll(csv, "\n", "\r\n"));
    }
    if (!WriteTextFile(*options->m_strOutput, csv)) {
        return ReportWriteFailure(*options->m_strOutput);
    }
    return kExitSuccess;
}
