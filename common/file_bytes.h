// Whole-file input as raw bytes.
#pragma once

#include <string>
#include <string_view>

// How failures name the standard input.
inline constexpr std::string_view kStandardInputName = "standard input";

// Replaces bytes with the file's content; false, bytes unchanged, when the
// file cannot be opened or read: a folder, a FIFO or a device (never waited
// for), a file larger than 1 GiB. failure, when given, then says why,
// naming the file.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* failure = nullptr);

// The same for whatever the standard input is (a file, a pipe, a terminal),
// read to its end; failure names it "standard input".
bool ReadStandardInput(std::string& bytes, std::string* failure = nullptr);
