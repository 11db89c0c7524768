#include "tools/marlo_sim/options.h"

#include <array>
#include <charconv>
#include <limits>

namespace {

// Bounds that keep times and texts sane; a day between transmissions, and
// readings far above any hardness scale, are already more than enough.
constexpr double kLongestInterval = 86400.0;
constexpr std::int64_t kFastestBaud = 10'000'000;
constexpr int kMostRecords = 100'000;
constexpr double kHighestReading = 100'000.0;

// The whole text as a number within [low, high]. from_chars never follows the
// locale and reads neither white space nor '+'; NaN fails the range check.
template <class Number>
bool ParseNumber(std::string_view text, Number low, Number high, Number& number) {
    Number value{};
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !(value >= low) ||
        !(value <= high)) {
        return false;
    }
    number = value;
    return true;
}

bool ParseChoice(std::string_view text, std::string_view first, int firstValue,
                 std::string_view second, int secondValue, int& choice) {
    if (text != first && text != second) {
        return false;
    }
    choice = text == first ? firstValue : secondValue;
    return true;
}

struct STOptionRule {
    std::string_view m_name;
    // Shapes the generated records, so it has no say over a capture.
    bool m_bGenerator;
    // Stores the value; false when the value is not acceptable.
    bool (*m_apply)(std::string_view value, STSimOptions& options);
};

constexpr std::array<STOptionRule, 12> kRules{{
    {"--file", false,
     [](std::string_view value, STSimOptions& options) {
         options.m_strFile = value;
         return !value.empty();
     }},
    {"--link", false,
     [](std::string_view value, STSimOptions& options) {
         options.m_strLink = value;
         return !value.empty();
     }},
    {"--count", false,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber<std::int64_t>(value, 0, std::numeric_limits<std::int64_t>::max(),
                                          options.m_nCount);
     }},
    {"--interval", false,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber(value, 0.0, kLongestInterval, options.m_dInterval);
     }},
    {"--delay", false,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber(value, 0.0, kLongestInterval, options.m_dDelay);
     }},
    {"--baud", false,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber<std::int64_t>(value, 0, kFastestBaud, options.m_nBaud);
     }},
    {"--method", true,
     [](std::string_view value, STSimOptions& options) {
         return ParseChoice(value, "leeb", kTestMethodLeeb, "uci", kTestMethodUci,
                            options.m_generator.m_nTestMethod);
     }},
    {"--model", true,
     [](std::string_view value, STSimOptions& options) {
         return ParseChoice(value, "batch", kTestModelBatch, "average", kTestModelAverage,
                            options.m_generator.m_nTestModel);
     }},
    {"--records", true,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber(value, 1, kMostRecords, options.m_generator.m_nRecords);
     }},
    {"--seed", true,
     [](std::string_view value, STSimOptions& options) {
         std::uint64_t seed = 0;
         if (!ParseNumber<std::uint64_t>(value, 0, std::numeric_limits<std::uint64_t>::max(),
                                         seed)) {
             return false;
         }
         options.m_seed = seed;
         return true;
     }},
    {"--mean", true,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber(value, 0.0, kHighestReading, options.m_generator.m_dMean);
     }},
    {"--spread", true,
     [](std::string_view value, STSimOptions& options) {
         return ParseNumber(value, 0.0, kHighestReading, options.m_generator.m_dSpread);
     }},
}};

const STOptionRule* FindRule(std::string_view name) {
    for (const STOptionRule& rule : kRules) {
        if (rule.m_name == name) {
            return &rule;
        }
    }
    return nullptr;
}

}  // namespace

EParseOutcome ParseSimOptions(std::span<const std::string_view> arguments, STSimOptions& options,
                              std::string& problem) {
    bool meanGiven = false;
    bool generatorOptionGiven = false;
    for (std::size_t next = 0; next < arguments.size();) {
        const std::string_view argument = arguments[next++];
        if (argument == "--help" || argument == "-h") {
            return EParseOutcome::kHelp;
        }
        if (argument == "--version") {
            return EParseOutcome::kVersion;
        }
        // "--name value" or "--name=value".
        const std::size_t equals = argument.find('=');
        const std::string_view name = argument.substr(0, equals);
        const STOptionRule* rule = FindRule(name);
        if (rule == nullptr) {
            problem = (argument.starts_with("-") ? "unknown option " : "unexpected argument ") +
                      std::string(argument);
            return EParseOutcome::kUsageError;
        }
        if (equals == argument.npos && next == arguments.size()) {
            problem = std::string(name) + " needs a value";
            return EParseOutcome::kUsageError;
        }
        const std::string_view value =
            equals == argument.npos ? arguments[next++] : argument.substr(equals + 1);
        if (!rule->m_apply(value, options)) {
            problem = "bad value '" + std::string(value) + "' for " + std::string(name);
            return EParseOutcome::kUsageError;
        }
        meanGiven = meanGiven || rule->m_name == "--mean";
        generatorOptionGiven = generatorOptionGiven || rule->m_bGenerator;
    }
    if (!options.m_strFile.empty() && generatorOptionGiven) {
        problem = "--file sends the capture as it is; it takes no generator options";
        return EParseOutcome::kUsageError;
    }
    if (!meanGiven) {
        options.m_generator.m_dMean = DefaultMean(options.m_generator.m_nTestMethod);
    }
    return EParseOutcome::kRun;
}

std::string SimHelpText() {
    return "usage: " + std::string(kSimUsage) + "\n" + R"(       marlo-sim -h | --help | --version

Plays a hardness tester on a pseudo-terminal. Prints the terminal's path as
the first line, sends the transmissions to it, keeps it open one more second
and ends; SIGINT or SIGTERM ends it at once. Exit 0 when done or stopped, 1
when the terminal, the capture or the link fails, 2 on a usage error.

  --link PATH         make PATH a symbolic link to the terminal while running
                      (an existing link is replaced, any other file refused)
  --count K           transmissions to send, 0 = until stopped (default 1)
  --interval SECONDS  pause between transmissions, 0-86400 (default 1.0)
  --delay SECONDS     pause before the first transmission, so that a reader
                      can open the terminal first, 0-86400 (default 0)
  --baud B            space the bytes as an 8N1 line at B baud does,
                      0 = as fast as possible (default 9600)
  --file CAPTURE      send the file's bytes as they are, as each transmission;
                      cannot be combined with the options below

Generator options, for generated records:
  --method leeb|uci   test method (default leeb)
  --model batch|average
                      average records carry LIST and AVE (default batch)
  --records N         records per transmission, at least 1 (default 5)
  --seed S            seed for repeatable records (default: from the clock)
  --mean M            mean of the readings, 0-100000
                      (default 450 for leeb, 300 for uci)
  --spread S          standard deviation of the readings (default 10)

Options take their value as the next argument or after '='; numbers use the
full stop as decimal separator.
)";
}
