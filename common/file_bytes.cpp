#include "common/file_bytes.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/regular_file.h"

namespace {

// Reads fd to its end, within the bound on a whole file; expected is where
// the first read stops. false, failure naming the input, on any failure.
bool ReadToEnd(int fd, std::string_view name, std::size_t expected, std::string& bytes,
               std::string* failure) {
    const auto fail = [&](const std::string& reason) {
        if (failure != nullptr) *failure = std::string(name) + ": " + reason;
        return false;
    };
    std::string content;
    content.resize(expected);
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size()) {
            // A file that grew since it was measured, or a pipe, is read on
            // within the same bound.
            if (content.size() > kLargestReadFile) {
                return fail("larger than 1 GiB");
            }
            content.resize(content.size() + (std::size_t{1} << 16));
        }
        const ssize_t got = ::read(fd, &content[filled], content.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail(std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    if (filled > kLargestReadFile) {
        return fail("larger than 1 GiB");
    }
    content.resize(filled);
    bytes = std::move(content);
    return true;
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* failure) {
    const CRegularFile file(path);
    if (!file.IsOpen()) {
        if (failure != nullptr) *failure = file.Failure();
        return false;
    }
    return ReadToEnd(file.Descriptor(), path, static_cast<std::size_t>(file.Size()), bytes, failure);
}

bool ReadStandardInput(std::string& bytes, std::string* failure) {
    return ReadToEnd(STDIN_FILENO, kStandardInputName, 0, bytes, failure);
}
