// Replacing a file whole or not at all, so that a failed save never leaves a
// cut-off file where a good one was.
#pragma once

#include <functional>
#include <string>

// write makes the new contents as a file of the given name beside path; that
// file is synced, takes the old file's permission bits and is renamed over
// path. A symbolic link keeps pointing at the file it names. False, with the
// new file removed and path as it was, when write or any step fails.
bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& temporary)>& write);
