#include "common/private_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

CPrivateFolder::CPrivateFolder(const std::string& beside) {
    const std::size_t slash = beside.rfind('/');
    std::string name = (slash == std::string::npos ? std::string() : beside.substr(0, slash + 1)) +
                       ".marlo-XXXXXX";
    if (::mkdtemp(name.data()) != nullptr) m_strPath = std::move(name);
}

CPrivateFolder::~CPrivateFolder() {
    if (!IsMade()) return;
    const int error = errno;
    // remove_all never follows a symbolic link inside; it removes the link.
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
    errno = error;
}
