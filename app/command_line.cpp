#include "app/command_line.h"

#include <string>

#include "common/version.h"

namespace {

constexpr std::string_view kUsage =
    "usage: marlo [FILE.hdb...]\n"
    "       marlo -h | --help | --version\n"
    "\n"
    "Opens Marlo's window: hardness readings received from a Leeb or UCI tester\n"
    "on a serial port, filed into test batches, kept in .hdb files and reported.\n"
    "Batch files named are loaded into the window as Load does.\n"
    "\n"
    "  -h, --help  print this usage and exit\n"
    "  --version   print the version and exit\n";

bool IsOption(std::string_view argument) {
    return argument.size() > 1 && argument.front() == '-';
}

// 1 when standard output could not take the text (a closed pipe, a full disk).
int ExitCodeAfterWriting(std::ostream& out, std::string_view text) {
    out << text << std::flush;
    return out ? 0 : 1;
}

}  // namespace

std::optional<int> AnswerInformationOption(std::span<const std::string_view> arguments,
                                           std::ostream& out) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (argument == "-h" || argument == "--help") {
            return ExitCodeAfterWriting(out, kUsage);
        }
        if (argument == "--version") {
            return ExitCodeAfterWriting(out, "marlo " + std::string(kMarloVersion) + "\n");
        }
    }
    return std::nullopt;
}

std::optional<int> RefuseUnknownOption(std::span<const std::string_view> arguments,
                                       std::ostream& err) {
    for (const std::string_view argument : arguments) {
        if (argument == "--") {
            break;
        }
        if (IsOption(argument)) {
            err << "marlo: unknown option " << argument << "\n" << kUsage << std::flush;
            return 2;
        }
    }
    return std::nullopt;
}

std::vector<std::string> FileArguments(std::span<const std::string_view> arguments) {
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string_view argument : arguments) {
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
        } else if (optionsEnded || !IsOption(argument)) {
            files.emplace_back(argument);
        }
    }
    return files;
}
