// The program's per-user folders under the XDG base directories. Every folder
// returned ends with '/'; none is created here.
#pragma once

#include <string>

// $XDG_DATA_HOME when it holds an absolute path, else $HOME/.local/share/; when
// HOME is unset or empty, the home folder of the user's account is used.
std::string DataHomeDirectory();

// DataHomeDirectory() + "marlo/".
std::string MarloDataDirectory();

// Where the raw bytes of each port session are journaled:
// MarloDataDirectory() + "captures/".
std::string CaptureDirectory();
