#include "app/command_line.h"

#include <string>

#include "common/version.h"

namespace {

constexpr std::string_view kUsage =
    "usage: marlo\n"
    "       marlo -h | --help | --version\n"
    "\n"
    "Opens Marlo's window: hardness readings received from a Leeb or UCI tester\n"
    "on a serial port, filed into test batches, kept in .hdb files and reported.\n"
    "\n"
    "  -h, --help  print this usage and exit\n"
    "  --version   print the version and exit\n";

// 1 when standard output could not take the text (a closed pipe, a full disk).
int ExitCodeAfterWriting(std::ostream& out, std::string_view text) {
    out << text << std::flush;
    return out ? 0 : 1;
}

}  // namespace

std::optional<int> AnswerInformationOption(std::span<const std::string_view> arguments, std::ostream& out) {
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
