// Replacing a file whole or not at all, so that a failed save never leaves a
// cut-off file where a good one was.
#pragma once

#include <functional>
#include <string>

// write makes the new contents as a file of the given name; that name lies
// in a private folder made beside path for this save (see CPrivateFolder),
// so no planted link can redirect it, and write may put scratch files of its
// own beside it. The file is synced, takes the old file's permission bits
// and is renamed over path. A symbolic link keeps pointing at the file it
// names. False, errno saying why, with the new file removed and path as it
// was, when write or any step fails.
bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& temporary)>& write);

// ReplaceFile for a fixed name anyone could have planted a link at: whatever
// entry path is, a symbolic link too, is itself replaced, and nothing it
// points at is written.
bool ReplaceEntry(const std::string& path, const std::function<bool(const std::string& temporary)>& write);
