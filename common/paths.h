// Path and file helpers. Paths use the native separator '/'; wide paths are
// UTF-16 and reach the file system as UTF-8.
#pragma once

#include <string>
#include <string_view>

// Folder of the running executable, ending with '/'; empty when the
// executable cannot be located.
std::string GetModuleDirectory();
std::u16string GetModuleDirectoryW();

// True when path names an existing directory (a trailing '/' is optional);
// the empty path names none.
bool IsDirectory(std::u16string_view path);

// Creates the directory and its missing parents. Only absolute paths are
// handled. Returns nonzero when the directory exists afterwards, 0 otherwise;
// parents created before a failure stay.
int CreateDirectoryTree(std::u16string_view path);

// Deletes the files in folder whose names end in "." + extension, compared
// without regard to ASCII letter case; folders are skipped. Returns the number
// deleted, or -1 when the folder cannot be read or a deletion failed (files
// deleted before the failure stay deleted).
int DeleteFilesByExtension(std::u16string_view extension, std::u16string_view folder);

// path, with extension (".hdb") appended unless its name already ends in it,
// compared without regard to ASCII letter case.
std::string WithExtension(std::string path, std::string_view extension);
