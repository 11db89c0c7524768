// Creating a file whole and only where no file is: a report never replaces
// a workbook that someone may have edited and still have open, not even one
// that appears between looking for a free name and saving.
#pragma once

#include <functional>
#include <string>

enum class ENewFileResult {
    kCreated,
    kExists,  // an entry of that name was there; it stays as it was
    kFailed,
};

// write makes the contents as a file of the given name in a private folder
// made beside path (see CPrivateFolder), where write may also keep scratch
// files; that file is synced and then takes the name path only if no entry
// (file, folder, symbolic link) has it. The written file never stays under
// its temporary name; on kFailed errno says why.
ENewFileResult CreateNewFile(const std::string& path,
                             const std::function<bool(const std::string& temporary)>& write);
