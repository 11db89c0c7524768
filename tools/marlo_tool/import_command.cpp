// import: files a capture of the tester's transmissions into a new batch.
#include <unistd.h>

#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "instrument/record_framer.h"
#include "instrument/record_parser.h"
#include "persistence/batch_file_writer.h"
#include "persistence/setting.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

struct ImportOptions {
    int m_nTestModel = kTestModelBatch;
    int m_nTestMethod = kTestMethodUci;
    // New batches take their limits from the settings' defaults.
    double m_dLowerLimit = STSetting{}.m_dLowerLimit;
    double m_dUpperLimit = STSetting{}.m_dUpperLimit;
    bool m_bUseLimit = STSetting{}.m_bUseLimit;
    std::int64_t m_time = std::time(nullptr);
    std::string m_strCapture;
    std::string m_strOutput;
};

std::optional<ImportOptions> ReadOptions(Arguments arguments) {
    const auto usageError = [](std::string_view problem) {
        ReportUsageError(problem, kImportUsage);
        return std::nullopt;
    };
    ImportOptions options;
    std::optional<int> model;
    std::optional<int> method;
    bool limitsGiven = false;
    std::vector<std::string_view> operands;
    CArgumentReader reader(arguments);
    while (!reader.AtEnd()) {
        const std::string_view argument = reader.Take();
        if (argument == "--model") {
            model = ParseChoice(reader.TakeValue(),
                                {{"batch", kTestModelBatch}, {"average", kTestModelAverage}});
            if (!model) {
                return usageError("--model takes batch or average");
            }
        } else if (argument == "--method") {
            method = ParseChoice(reader.TakeValue(),
                                 {{"leeb", kTestMethodLeeb}, {"uci", kTestMethodUci}});
            if (!method) {
                return usageError("--method takes leeb or uci");
            }
        } else if (argument == "--limits" || argument == "--no-limits") {
            if (limitsGiven) {
                return usageError("give --limits or --no-limits once");
            }
            limitsGiven = true;
            options.m_bUseLimit = argument == "--limits";
            if (options.m_bUseLimit) {
                const std::optional<double> low = ParseDecimal(reader.TakeValue());
                const std::optional<double> high = ParseDecimal(reader.TakeValue());
                if (!low || !high) {
                    return usageError("--limits takes two numbers, such as 200.5 900");
                }
                options.m_dLowerLimit = *low;
                options.m_dUpperLimit = *high;
            }
        } else if (argument == "--time") {
            const std::optional<std::int64_t> time = ParseInteger(reader.TakeValue());
            if (!time) {
                return usageError("--time takes whole seconds since 1970");
            }
            options.m_time = *time;
        } else if (IsOption(argument)) {
            return usageError("unknown option " + std::string(argument));
        } else {
            operands.push_back(argument);
        }
    }
    if (!model || !method) {
        return usageError("--model and --method are required");
    }
    if (operands.size() != 2) {
        return usageError("give one capture file and one batch file");
    }
    options.m_nTestModel = *model;
    options.m_nTestMethod = *method;
    options.m_strCapture = operands[0];
    options.m_strOutput = operands[1];
    return options;
}

}  // namespace

int RunImport(Arguments arguments) {
    const std::optional<ImportOptions> options = ReadOptions(arguments);
    if (!options) {
        return kExitUsage;
    }
    std::string bytes;
    if (std::string failure; !ReadInputBytes(options->m_strCapture, bytes, failure)) {
        return ReportFailure("marlo-tool: cannot read " + failure);
    }
    // Records framed as the window frames a spell: damaged and cut-off
    // records are refused, noise between records harms nothing.
    STFramedRecords records = FrameCapture(bytes);
    LedgermillItemList parsed;
    ParseRecordTexts(records.m_records, parsed);

    STLedgermill batch;
    batch.m_nTestModel = options->m_nTestModel;
    batch.m_nTestMethod = options->m_nTestMethod;
    batch.m_dLowerLimit = options->m_dLowerLimit;
    batch.m_dUpperLimit = options->m_dUpperLimit;
    batch.m_bUseLimit = options->m_bUseLimit;
    batch.m_time = options->m_time;
    std::size_t refused = records.m_nDamaged + records.m_nCutOff;
    for (const auto& item : parsed) {
        if (item->IsValidFor(batch.m_nTestModel, batch.m_nTestMethod)) {
            batch.AddItem(std::make_unique<STLedgermillItem>(*item));
        } else {
            ++refused;
        }
    }
    batch.UpdateStatistics();

    // A batch on the standard output leaves the counts to stderr.
    const bool toStandardOutput = IsStandardStream(options->m_strOutput);
    const bool written = toStandardOutput ? WriteBatchStream(STDOUT_FILENO, batch)
                                          : SaveBatchFile(options->m_strOutput, batch);
    if (!written) {
        return ReportWriteFailure(options->m_strOutput);
    }
    const std::string counts = std::to_string(batch.m_itemVector.size()) + " accepted, " +
                               std::to_string(refused) + " refused\n";
    int result = kExitSuccess;
    if (toStandardOutput) {
        std::cerr << counts;
    } else {
        result = WriteStandardOutput(counts);
    }
    if (refused > 0) {
        std::cerr << "Part of the data is the error data.\n";
    }
    return result;
}
