#include "report/new_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace {

// A name beside path that no other save of this process or any other uses.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

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
    const std::string temporary = TemporaryNameFor(path);
    if (!write(temporary) || !Sync(temporary, O_RDONLY)) {
        ::unlink(temporary.c_str());
        return ENewFileResult::kFailed;
    }
    const bool moved = MoveIfFree(temporary, path);
    const bool taken = !moved && errno == EEXIST;
    ::unlink(temporary.c_str());  // gone already after a rename; only a link leaves it
    if (!moved)
        return taken ? ENewFileResult::kExists : ENewFileResult::kFailed;
    Sync(FolderOf(path), O_RDONLY | O_DIRECTORY);  // best effort: the file is in place
    return ENewFileResult::kCreated;
}
