// Whole-file input as raw bytes.
#pragma once

#include <string>

// Replaces bytes with the file's content; false, bytes unchanged, when the
// file cannot be opened or read (a folder, for one).
bool ReadFileBytes(const std::string& path, std::string& bytes);
