// Writing the new content of a persistence file into the temporary file that
// ReplaceFile then moves over the old one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Writes all of bytes, resuming after partial writes and interruptions.
bool WriteAllBytes(int fd, std::string_view bytes);

// Creates path, which must not exist yet, lets write fill it through the
// descriptor and closes it; true only when every step succeeded.
bool WriteNewFile(const std::string& path, const std::function<bool(int fd)>& write);
