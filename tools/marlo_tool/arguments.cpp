#include "tools/marlo_tool/arguments.h"

#include <charconv>
#include <cmath>
#include <iostream>

#include <unistd.h>

#include "common/file_output.h"
#include "tools/marlo_tool/file_operands.h"

namespace {

// from_chars reads neither white space nor a leading '+', and never follows
// the locale.
template <class Number>
std::optional<Number> ParseWhole(std::optional<std::string_view> text) {
    if (!text || text->empty()) {
        return std::nullopt;
    }
    Number value{};
    const char* end = text->data() + text->size();
    const auto result = std::from_chars(text->data(), end, value);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

std::optional<int> ParseChoice(std::optional<std::string_view> text,
                               std::initializer_list<std::pair<std::string_view, int>> choices) {
    for (const auto& [name, number] : choices) {
        if (text == name) {
            return number;
        }
    }
    return std::nullopt;
}

std::optional<double> ParseDecimal(std::optional<std::string_view> text) {
    const std::optional<double> value = ParseWhole<double>(text);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> ParseInteger(std::optional<std::string_view> text) {
    return ParseWhole<std::int64_t>(text);
}

void ReportUsageError(std::string_view problem, std::string_view usage) {
    std::cerr << "marlo-tool: " << problem << "\nusage: " << usage << '\n';
}

int ReportFailure(std::string_view message) {
    std::cerr << message << '\n';
    return kExitFailure;
}

int WriteStandardOutput(std::string_view text) {
    // Straight to the descriptor, so that a failure leaves errno's reason.
    if (!WriteAllBytes(STDOUT_FILENO, text)) {
        return ReportWriteFailure(kStandardStream);
    }
    return kExitSuccess;
}
