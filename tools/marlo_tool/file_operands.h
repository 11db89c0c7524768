// File operands: "-" names the standard input or the standard output
// instead of a file, and failures name the file (or the stream) with the
// system's reason.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::string_view kStandardStream = "-";
inline constexpr std::string_view kStandardOutputName = "standard output";

bool IsStandardStream(std::string_view operand);

// The operand's whole content, read from the standard input for "-", within
// the same 1 GiB bound as a file; false, failure naming the input and why,
// when it cannot be read.
bool ReadInputBytes(const std::string& operand, std::string& bytes, std::string& failure);

// Writes bytes as the file's whole new content (replaced whole or not at
// all), or to the standard output for "-"; kExitFailure, reported, when that
// fails.
int WriteOutputBytes(const std::string& operand, std::string_view bytes);

// Prints "marlo-tool: cannot write NAME: <errno's reason>"; returns
// kExitFailure. "-" is named "standard output".
int ReportWriteFailure(std::string_view operand);
