#include "common/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

std::string SizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
    return bytes % kGiB == 0 ? std::to_string(bytes / kGiB) + " GiB"
                             : std::to_string(bytes) + " bytes";
}

}  // namespace

CRegularFile::CRegularFile(const std::string& path, std::uint64_t largest) {
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of
    // waiting for one; the file is refused below anyway.
    m_hFile = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_hFile < 0) {
        Fail(path, std::strerror(errno));
        return;
    }
    struct stat status {};
    if (::fstat(m_hFile, &status) != 0) {
        Fail(path, std::strerror(errno));
    } else if (!S_ISREG(status.st_mode)) {
        Fail(path, S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file");
    } else if (static_cast<std::uint64_t>(status.st_size) > largest) {
        Fail(path, "larger than " + SizeText(largest));
    } else {
        m_nSize = static_cast<std::uint64_t>(status.st_size);
        // Reads of a regular file never wait; blocking mode keeps them whole.
        ::fcntl(m_hFile, F_SETFL, ::fcntl(m_hFile, F_GETFL) & ~O_NONBLOCK);
    }
}

CRegularFile::~CRegularFile() {
    if (m_hFile >= 0) {
        ::close(m_hFile);
    }
}

void CRegularFile::Fail(const std::string& path, const std::string& reason) {
    if (m_hFile >= 0) {
        ::close(m_hFile);
        m_hFile = -1;
    }
    m_strFailure = path + ": " + reason;
}
