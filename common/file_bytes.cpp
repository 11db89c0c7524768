#include "common/file_bytes.h"

#include <array>
#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    std::string content;
    std::array<char, 1 << 16> chunk{};
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), file.get())) > 0) {
        content.append(chunk.data(), got);
    }
    if (std::ferror(file.get())) {
        return false;
    }
    bytes = std::move(content);
    return true;
}
