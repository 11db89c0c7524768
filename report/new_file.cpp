#include "report/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "common/private_folder.h"

namespace {

bool Sync(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Moves temporary to path unless path is taken; errno tells why not.
bool MoveIfFree(const std::string& temporary, const std::string& path) {
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without RENAME_NOREPLACE: link() refuses a taken name
    // just as well, and the temporary name goes afterwards.
    return ::link(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

ENewFileResult CreateNewFile(const std::string& path,
                             const std::function<bool(const std::string& temporary)>& write) {
    // The temporary, and after a link() its second name, go away with the
    // folder on every way out.
    const CPrivateFolder folder(path);
    if (!folder.IsMade()) return ENewFileResult::kFailed;
    const std::string temporary = folder.PathOf("new");
    if (!write(temporary) || !Sync(temporary, O_RDONLY | O_NOFOLLOW))
        return ENewFileResult::kFailed;
    const bool moved = MoveIfFree(temporary, path);
    const bool taken = !moved && errno == EEXIST;
    if (!moved)
        return taken ? ENewFileResult::kExists : ENewFileResult::kFailed;
    Sync(FolderOf(path), O_RDONLY | O_DIRECTORY);  // best effort: the file is in place
    return ENewFileResult::kCreated;
}
