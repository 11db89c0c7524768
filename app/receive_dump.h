// The F5 dump of the receive buffer: every byte held, as it came, in
// aafff.txt in the user's home folder.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// $HOME/aafff.txt as bytes, HOME taken as it is, whether or not UTF-8.
std::string ReceiveDumpPath();

// Writes bytes as path's whole content through a private temporary renamed
// over it: whatever entry has the name, a symbolic link planted there too,
// is replaced, and nothing it points at is written. Empty on success, else
// "<path>: <the system's reason>".
QString WriteReceiveDump(const std::string& path, std::string_view bytes);
