#include "common/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "common/private_folder.h"

namespace {

// A descriptor closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return m_fd; }
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

// A symbolic link keeps pointing at the file it names: the file is replaced,
// not the link.
std::string ResolvedTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::array<char, PATH_MAX> resolved{};
    return ::realpath(path.c_str(), resolved.data()) ? std::string(resolved.data()) : path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

// Synced to disk with the old file's permission bits, if a regular file was
// there.
bool Settle(const std::string& temporary, const std::string& target) {
    Descriptor file(::open(temporary.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (file.Get() < 0) return false;
    struct stat previous {};
    if (::lstat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode))
        ::fchmod(file.Get(), previous.st_mode & 07777);
    const bool synced = ::fsync(file.Get()) == 0;
    const int error = errno;
    const bool closed = file.Close();
    if (!synced) errno = error;
    return closed && synced;
}

void SyncFolder(const std::string& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: the rename is already done
}

}  // namespace

bool ReplaceEntry(const std::string& path, const std::function<bool(const std::string& temporary)>& write) {
    // The temporary goes away with its folder on every way out.
    const CPrivateFolder folder(path);
    if (!folder.IsMade()) return false;
    const std::string temporary = folder.PathOf("new");
    if (!write(temporary) || !Settle(temporary, path) || ::rename(temporary.c_str(), path.c_str()) != 0)
        return false;
    SyncFolder(FolderOf(path));
    return true;
}

bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& temporary)>& write) {
    return ReplaceEntry(ResolvedTarget(path), write);
}
