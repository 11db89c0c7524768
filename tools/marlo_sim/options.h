// marlo-sim's command line: what to send, how often and how fast.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "tools/marlo_sim/record_generator.h"

inline constexpr std::string_view kSimUsage =
    "marlo-sim [--link PATH] [--count K] [--interval SECONDS] [--delay SECONDS] [--baud B] "
    "[--file CAPTURE | GENERATOR OPTIONS]";

struct STSimOptions {
    STGeneratorSettings m_generator;
    // Empty: generate records instead of sending a capture.
    std::string m_strFile;
    // Empty: no link.
    std::string m_strLink;
    // 0: until stopped.
    std::int64_t m_nCount = 1;
    double m_dInterval = 1.0;
    // Before the first transmission.
    double m_dDelay = 0.0;
    // 0: as fast as possible.
    std::int64_t m_nBaud = 9600;
    // Unset: taken from the clock.
    std::optional<std::uint64_t> m_seed;
};

enum class EParseOutcome { kRun, kHelp, kVersion, kUsageError };

// Fills options from the arguments after the program name; on kUsageError
// problem says what is wrong.
EParseOutcome ParseSimOptions(std::span<const std::string_view> arguments, STSimOptions& options,
                              std::string& problem);

// What --help prints.
std::string SimHelpText();
