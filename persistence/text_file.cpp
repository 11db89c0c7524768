#include "persistence/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>

#include "common/file_bytes.h"
#include "persistence/xml_parser.h"

namespace {

// A descriptor closed on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
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

std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', start)) {
        out.append(text, start, lf - start).append("\r\n");
        start = lf + 1;
    }
    return out.append(text, start);
}

bool WriteAll(int fd, std::string_view bytes) {
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

// A symbolic link keeps pointing at the file it names: the file is replaced,
// not the link.
std::string ResolvedTarget(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
        return path;
    }
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

void SyncFolder(const std::string& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0) {
        ::fsync(dir.Get());  // best effort: the rename is already done
    }
}

}  // namespace

void CollapseCrLf(std::string& text) {
    std::size_t kept = text.find("\r\n");
    if (kept == std::string::npos) {
        return;
    }
    // Moves each stretch between two CR LF pairs left over the dropped CRs.
    for (std::size_t from = kept + 1; from < text.size();) {
        const std::size_t pair = text.find("\r\n", from);
        const std::size_t end = pair == std::string::npos ? text.size() : pair;
        std::char_traits<char>::move(&text[kept], &text[from], end - from);
        kept += end - from;
        from = pair == std::string::npos ? end : pair + 1;
    }
    text.resize(kept);
}

void SwitchToUserLocaleOnce() {
    static std::once_flag switched;
    std::call_once(switched, [] { std::setlocale(LC_ALL, ""); });
}

bool ReadTextFile(const std::string& path, std::string& text) {
    SwitchToUserLocaleOnce();
    if (!ReadFileBytes(path, text)) {
        return false;
    }
    CollapseCrLf(text);
    return true;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    SwitchToUserLocaleOnce();
    const std::string target = ResolvedTarget(path);
    const std::string temporary = TemporaryNameFor(target);
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0) {
        return false;
    }
    struct stat previous {};
    if (::stat(target.c_str(), &previous) == 0) {
        ::fchmod(file.Get(), previous.st_mode & 07777);
    }
    const bool written = WriteAll(file.Get(), WithCrLf(text)) && ::fsync(file.Get()) == 0;
    if (!file.Close() || !written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool LoadDocument(const std::string& path, XmlDocument& document) {
    std::string text;
    if (!ReadTextFile(path, text)) {
        return false;
    }
    CXmlParser().ParseDocument(text, document);
    return true;
}

bool SaveDocument(const std::string& path, const XmlDocument& document) {
    return WriteTextFile(path, CXmlParser().WriteDocument(document));
}
