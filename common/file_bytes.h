// Whole-file input as raw bytes.
#pragma once

#include <string>

// Replaces bytes with the file's content; false, bytes unchanged, when the
// file cannot be opened or read: a folder, a FIFO or a device (never waited
// for), a file larger than 1 GiB. failure, when given, then says why,
// naming the file.
bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* failure = nullptr);
