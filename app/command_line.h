// What marlo answers from its arguments alone, before any window exists.
#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string_view>

// When the arguments ask for the usage (-h, --help) or the version
// (--version), writes it to out and returns the exit code; nullopt when the
// window is to open. The first such option wins; "--" ends the options.
std::optional<int> AnswerInformationOption(std::span<const std::string_view> arguments, std::ostream& out);
