// What marlo answers from its arguments alone, before any window exists.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// When the arguments ask for the usage (-h, --help) or the version
// (--version), writes it to out and returns the exit code; nullopt when the
// window is to open. The first such option wins; "--" ends the options.
std::optional<int> AnswerInformationOption(std::span<const std::string_view> arguments,
                                           std::ostream& out);

// Once Qt has taken its own options (-platform, -style...) out: an option
// left is one marlo does not know. It is told on err with the usage, exit
// code 2; nullopt when there is none.
std::optional<int> RefuseUnknownOption(std::span<const std::string_view> arguments,
                                       std::ostream& err);

// The batch files named: every argument that is no option, and every one
// after "--". A lone "-" counts as a file name.
std::vector<std::string> FileArguments(std::span<const std::string_view> arguments);
