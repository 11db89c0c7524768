#include "common/xdg_paths.h"

#include <cstdlib>
#include <fstream>
#include <vector>

#include "common/host_identity.h"

namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string WithTrailingSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder.push_back('/');
    }
    return folder;
}

// A relative XDG folder would depend on the working folder; the XDG rules
// say to ignore it.
std::string BaseDirectory(const char* variable, const char* fallbackUnderHome) {
    const std::string value = Variable(variable);
    if (!value.empty() && value.front() == '/') {
        return WithTrailingSeparator(value);
    }
    return HomeDirectory() + fallbackUnderHome;
}

// The value of `name="..."` in xdg-user-dirs' file, with "$HOME" expanded;
// empty when the file or the line is missing or the value is not a folder
// path.
std::string UserDirsEntry(const std::string& file, const std::string& name) {
    std::ifstream in(file);
    const std::string prefix = name + "=\"";
    for (std::string line; std::getline(in, line);) {
        if (line.compare(0, prefix.size(), prefix) != 0 || line.back() != '"') {
            continue;
        }
        std::string value = line.substr(prefix.size(), line.size() - prefix.size() - 1);
        if (value.compare(0, 5, "$HOME") == 0) {
            value = HomeDirectory() + value.substr(value.size() > 5 && value[5] == '/' ? 6 : 5);
        }
        return !value.empty() && value.front() == '/' ? WithTrailingSeparator(value) : std::string();
    }
    return {};
}

}  // namespace

std::string HomeDirectory() {
    std::string home = Variable("HOME");
    if (home.empty()) {
        home = AccountText(&passwd::pw_dir);
    }
    // With no home at all this gives "/", so that the folders below fail
    // loudly where they are used instead of landing in the working folder.
    while (!home.empty() && home.back() == '/') {
        home.pop_back();
    }
    return home + "/";
}

std::string DataHomeDirectory() {
    return BaseDirectory("XDG_DATA_HOME", ".local/share/");
}

std::string ConfigHomeDirectory() {
    return BaseDirectory("XDG_CONFIG_HOME", ".config/");
}

// xdg-user-dirs keeps the folder in user-dirs.dirs; a value naming the home
// folder itself means the user has none, and Documents under home is used.
std::string DocumentsDirectory() {
    std::string documents = Variable("XDG_DOCUMENTS_DIR");
    if (documents.empty() || documents.front() != '/') {
        documents = UserDirsEntry(ConfigHomeDirectory() + "user-dirs.dirs", "XDG_DOCUMENTS_DIR");
    }
    documents = documents.empty() ? std::string() : WithTrailingSeparator(documents);
    if (documents.empty() || documents == HomeDirectory()) {
        return HomeDirectory() + "Documents/";
    }
    return documents;
}

std::string MarloDataDirectory() {
    return DataHomeDirectory() + "marlo/";
}

std::string CaptureDirectory() {
    return MarloDataDirectory() + "captures/";
}
