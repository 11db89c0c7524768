#include "common/file_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

bool WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool WriteNewFile(const std::string& path, const std::function<bool(int fd)>& write) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = write(fd);
    const int writeError = errno;
    const bool closed = ::close(fd) == 0;
    if (!written) errno = writeError;
    return closed && written;
}

bool WriteNewFileBytes(const std::string& path, std::string_view bytes) {
    return WriteNewFile(path, [bytes](int fd) { return WriteAllBytes(fd, bytes); });
}
