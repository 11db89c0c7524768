// What the commands that write a report document (report, pdf) share: their
// operands and options, and the batch and settings the document follows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/ledgermill.h"
#include "tools/marlo_tool/arguments.h"

// FILE.hdb|- OUT.<extension> [--settings Setting.xml]
struct STDocumentCommand {
    std::string m_strInput;
    std::string m_strOutput;
    std::optional<std::string> m_oSettings;
};

// The command's usage line and what it says of wrong operands.
struct STDocumentKind {
    std::string_view m_usage;
    // The output's file name ending, ".xlsx".
    std::string_view m_extension;
    std::string_view m_operandsProblem;
    std::string_view m_standardOutputProblem;
    std::string_view m_extensionProblem;
};

// nullopt, after the problem and the usage on stderr, for wrong arguments.
std::optional<STDocumentCommand> ReadDocumentCommand(Arguments arguments, const STDocumentKind& kind);

// Loads the batch and the settings; the exit code when the document cannot
// be made (the file unreadable, no items, the settings unreadable), else
// nullopt.
std::optional<int> LoadDocumentInputs(const STDocumentCommand& command, STLedgermill& batch);

// The given settings file, else the one Marlo uses (beside a portable copy,
// else in ~/.config/marlo/), else the defaults; a given file that cannot be
// read is an error, and failure says why.
bool LoadReportSettings(const std::optional<std::string>& settings, std::string& failure);
