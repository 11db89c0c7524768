// Writing the new content of a file into the temporary file that
// ReplaceFile or CreateNewFile then moves into place.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes all of bytes, resuming after partial writes and interruptions.
bool WriteAllBytes(int fd, std::string_view bytes);

// Creates path, which must not exist yet (an entry of that name, a symbolic
// link too, is never opened), lets write fill it through the descriptor and
// closes it; true only when every step succeeded, else errno says why.
bool WriteNewFile(const std::string& path, const std::function<bool(int fd)>& write);

// WriteNewFile with bytes as the whole content.
bool WriteNewFileBytes(const std::string& path, std::string_view bytes);
