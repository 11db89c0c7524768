// The settings a report made from the command line follows.
#pragma once

#include <optional>
#include <string>

// The given settings file, else the one Marlo uses (beside a portable copy,
// else in ~/.config/marlo/), else the defaults; a given file that cannot be
// read is an error, and failure says why.
bool LoadReportSettings(const std::optional<std::string>& settings, std::string& failure);
