#include "common/file_bytes.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/regular_file.h"

bool ReadFileBytes(const std::string& path, std::string& bytes, std::string* failure) {
    const CRegularFile file(path);
    const auto fail = [&](const std::string& reason) {
        if (failure != nullptr) *failure = reason;
        return false;
    };
    if (!file.IsOpen()) {
        return fail(file.Failure());
    }
    std::string content;
    content.resize(static_cast<std::size_t>(file.Size()));
    std::size_t filled = 0;
    for (;;) {
        if (filled == content.size()) {
            // A file that grew since it was measured is read on, within the
            // same bound.
            if (content.size() > kLargestReadFile) {
                return fail(path + ": larger than 1 GiB");
            }
            content.resize(content.size() + (std::size_t{1} << 16));
        }
        const ssize_t got = ::read(file.Descriptor(), &content[filled], content.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail(path + ": " + std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    content.resize(filled);
    bytes = std::move(content);
    return true;
}
