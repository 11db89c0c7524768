#include "common/paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "common/text.h"
#include "common/utf.h"

namespace {

constexpr char16_t kSeparator = u'/';

std::u16string WithTrailingSeparator(std::u16string_view path) {
    std::u16string copy(path);
    if (copy.empty() || copy.back() != kSeparator) {
        copy.push_back(kSeparator);
    }
    return copy;
}

// "/a/b/" gives "/a/"; "/" gives the empty text.
std::u16string ParentFolder(const std::u16string& folder) {
    if (folder.size() < 2) {
        return {};
    }
    const std::size_t last = folder.rfind(kSeparator, folder.size() - 2);
    return last == folder.npos ? std::u16string() : folder.substr(0, last + 1);
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool ListEntries(const std::string& folder, std::vector<std::string>& names) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return false;
    }
    while (const dirent* entry = readdir(dir.get())) {
        names.emplace_back(entry->d_name);
    }
    return true;
}

bool EndsWithExtension(std::string name, const std::string& dottedExtension) {
    StringToLower(name);
    return name.size() >= dottedExtension.size() &&
           name.compare(name.size() - dottedExtension.size(), dottedExtension.size(),
                        dottedExtension) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::string GetModuleDirectory() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t last = path.rfind('/');
    return last == path.npos ? std::string() : path.substr(0, last + 1);
}

std::u16string GetModuleDirectoryW() {
    return Utf8ToUtf16(GetModuleDirectory());
}

bool IsDirectory(std::u16string_view path) {
    if (path.empty()) {
        return false;
    }
    struct stat status {};
    const std::string narrow = Utf16ToUtf8(WithTrailingSeparator(path));
    return stat(narrow.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

int CreateDirectoryTree(std::u16string_view path) {
    if (path.empty() || path.front() != kSeparator) {
        return 0;
    }
    // Walk up to the nearest existing folder, then create downwards.
    std::vector<std::u16string> missing;
    for (std::u16string folder = WithTrailingSeparator(path); !IsDirectory(folder);
         folder = ParentFolder(folder)) {
        missing.push_back(folder);
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        const std::string narrow = Utf16ToUtf8(*it);
        // Someone else may create it in between; what counts is that it exists.
        if (mkdir(narrow.c_str(), 0777) != 0 && !IsDirectory(*it)) {
            return 0;
        }
    }
    return 1;
}

int DeleteFilesByExtension(std::u16string_view extension, std::u16string_view folder) {
    const std::string narrowFolder = Utf16ToUtf8(folder);
    std::vector<std::string> names;
    // Listed before deleting: removing entries while reading a directory
    // leaves it open whether readdir returns them again.
    if (!ListEntries(narrowFolder, names)) {
        return -1;
    }
    std::string dottedExtension = "." + Utf16ToUtf8(extension);
    StringToLower(dottedExtension);
    int deleted = 0;
    for (const std::string& name : names) {
        const std::string path = narrowFolder + name;
        if (!EndsWithExtension(name, dottedExtension) || IsFolder(path)) {
            continue;
        }
        if (unlink(path.c_str()) == 0) {
            ++deleted;
        } else if (errno != ENOENT) {
            return -1;
        }
    }
    return deleted;
}

std::string WithExtension(std::string path, std::string_view extension) {
    std::string ending = path.size() >= extension.size() ? path.substr(path.size() - extension.size()) : path;
    std::string wanted(extension);
    if (StringToLower(ending) != StringToLower(wanted)) {
        path += extension;
    }
    return path;
}
