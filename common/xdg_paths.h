// The program's per-user folders under the XDG base directories. Every folder
// returned ends with '/'; none is created here.
#pragma once

#include <string>

// $HOME, or the home folder of the user's account when HOME is unset or
// empty.
std::string HomeDirectory();

// $XDG_DATA_HOME when it holds an absolute path, else HomeDirectory() +
// ".local/share/".
std::string DataHomeDirectory();

// $XDG_CONFIG_HOME when it holds an absolute path, else HomeDirectory() +
// ".config/".
std::string ConfigHomeDirectory();

// $XDG_DOCUMENTS_DIR when set to an absolute path, else the folder that
// xdg-user-dirs' user-dirs.dirs names, else HomeDirectory() + "Documents/".
std::string DocumentsDirectory();

// DataHomeDirectory() + "marlo/".
std::string MarloDataDirectory();

// Where the raw bytes of each port session are journaled:
// MarloDataDirectory() + "captures/".
std::string CaptureDirectory();
