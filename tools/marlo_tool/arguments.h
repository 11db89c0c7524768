// Command-line conventions shared by the commands: exit codes, reading
// options and operands, and the one-line reports on stderr.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

inline constexpr int kExitSuccess = 0;
// Input or output failed.
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

using Arguments = std::span<const std::string_view>;

// Hands out a command's arguments left to right, so that options may stand
// anywhere among the operands.
class CArgumentReader {
public:
    explicit CArgumentReader(Arguments arguments) : m_arguments(arguments) {}

    bool AtEnd() const { return m_next == m_arguments.size(); }
    std::string_view Take() { return m_arguments[m_next++]; }
    // The value of the option just taken; nullopt when the arguments end.
    std::optional<std::string_view> TakeValue() {
        return AtEnd() ? std::nullopt : std::optional(Take());
    }

private:
    Arguments m_arguments;
    std::size_t m_next = 0;
};

// "-x" and "--xyz"; a lone "-" counts as an operand.
bool IsOption(std::string_view argument);

// The number of the choice text names; nullopt when it names none.
std::optional<int> ParseChoice(std::optional<std::string_view> text,
                               std::initializer_list<std::pair<std::string_view, int>> choices);

// The whole text as a finite number, the full stop as decimal separator
// whatever the locale is; nullopt for anything else.
std::optional<double> ParseDecimal(std::optional<std::string_view> text);
std::optional<std::int64_t> ParseInteger(std::optional<std::string_view> text);

// Prints the problem and the command's usage line on stderr.
void ReportUsageError(std::string_view problem, std::string_view usage);
// Prints the message as one line on stderr; returns kExitFailure.
int ReportFailure(std::string_view message);

// Writes text to stdout; kExitFailure, reported with the system's reason,
// when that fails (a full disk, a closed pipe).
int WriteStandardOutput(std::string_view text);
