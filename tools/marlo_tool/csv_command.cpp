// csv: the measurement table of a batch file as RFC 4180 CSV.
#include <optional>
#include <string>
#include <vector>

#include "common/number_text.h"
#include "common/text.h"
#include "common/utf.h"
#include "instrument/direction_label.h"
#include "instrument/record_keys.h"
#include "persistence/text_file.h"
#include "tools/marlo_tool/commands.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

struct CsvOptions {
    std::string m_strInput;
    std::optional<std::string> m_strOutput;
    std::string m_strDelimiter = ",";
};

// Exactly one character of well-formed UTF-8, and none that a CSV reader
// could take for a quote or a line end.
bool IsDelimiter(std::string_view text) {
    const std::u16string wide = Utf8ToUtf16Replacing(text);
    const bool wellFormed = wide == Utf8ToUtf16(text);
    const bool surrogatePair = wide.size() == 2 && wide[0] >= 0xD800 && wide[0] <= 0xDBFF;
    const bool oneCharacter = wide.size() == 1 || surrogatePair;
    return wellFormed && oneCharacter && text != "\"" && text != "\r" && text != "\n";
}

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
            if (!delimiter || !IsDelimiter(*delimiter)) {
                return usageError("--delimiter takes exactly one character");
            }
            options.m_strDelimiter = *delimiter;
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

std::u16string FieldText(const STLedgermillItem& item, std::u16string_view key) {
    const auto field = item.m_subItem.find(key);
    return field == item.m_subItem.end() ? std::u16string() : field->second;
}

void AppendRow(std::string& csv, const std::vector<std::u16string>& cells,
               const std::string& delimiter) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        std::string cell = Utf16ToUtf8(cells[i]);
        if (cell.find_first_of("\"\r\n") != cell.npos || cell.find(delimiter) != cell.npos) {
            StringReplaceAll(cell, "\"", "\"\"");
            cell = '"' + cell + '"';
        }
        csv += (i == 0 ? "" : delimiter) + cell;
    }
    csv += '\n';
}

// Lines end with LF here. Any method but Leeb is labelled as UCI.
std::string BatchCsv(const STLedgermill& batch, const std::string& delimiter) {
    const bool leeb = batch.m_nTestMethod == kTestMethodLeeb;
    const std::u16string_view testKey = leeb ? kKeyImpact : kKeyForce;
    std::string csv;
    AppendRow(csv,
              {u"S/N", u"NAME", u"HD SCALE", leeb ? u"IMPACT" : u"FORCE", u"DIR", u"VALUE",
               u"AVERAGE", u"DATE", u"RESULT"},
              delimiter);
    std::int32_t row = 0;
    for (const auto& item : batch.m_itemVector) {
        // A missing DIR field stays empty: DirectionLabel keeps the empty text.
        AppendRow(
            csv,
            {IntToText(++row), FieldText(*item, kKeyName), FieldText(*item, kKeyHardnessScale),
             FieldText(*item, testKey), DirectionLabel(FieldText(*item, kKeyDirection)),
             FieldText(*item, kKeyValue), DoubleToText(item->m_dAverage),
             FieldText(*item, kKeyDate), batch.IsPass(*item) ? u"Pass" : u"NG"},
            delimiter);
    }
    // A damaged file can hold lone surrogates, which Utf16ToUtf8 passes on as
    // raw bytes; decoding once more replaces them, so the table is UTF-8.
    return Utf16ToUtf8(Utf8ToUtf16Replacing(csv));
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
    std::string csv = BatchCsv(batch, options->m_strDelimiter);
    if (!options->m_strOutput || IsStandardStream(*options->m_strOutput)) {
        return WriteStandardOutput(StringReplaceAll(csv, "\n", "\r\n"));
    }
    if (!WriteTextFile(*options->m_strOutput, csv)) {
        return ReportWriteFailure(*options->m_strOutput);
    }
    return kExitSuccess;
}
