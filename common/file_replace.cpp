#include "common/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <climits>
#include <cstdlib>

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

// A name beside target that no other save of this process or any other uses.
std::string TemporaryNameFor(const std::string& target) {
    static std::atomic<unsigned> counter{0};
    return target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// Synced to disk with the old file's permission bits, if there was one.
bool Settle(const std::string& temporary, const std::string& target) {
    Descriptor file(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) return false;
    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0) ::fchmod(file.Get(), previous.st_mode & 07777);
    const bool synced = ::fsync(file.Get()) == 0;
    return file.Close() && synced;
}

void SyncFolder(const std::string& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) ::fsync(dir.Get());  // best effort: the rename is already done
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::function<bool(const std::string& temporary)>& write) {
    const std::string target = ResolvedTarget(path);
    const std::string temporary = TemporaryNameFor(target);
    if (!write(temporary) || !Settle(temporary, target) || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}
