// A folder only this user may enter, made beside a file for the temporary
// and scratch files of writing it: no one else can plant a symbolic link
// under a name the writer is about to open, however predictable the name.
#pragma once

#include <string>
#include <string_view>

class CPrivateFolder {
public:
    // Makes "<folder of beside>/.marlo-XXXXXX" (mkdtemp, mode 0700); IsMade()
    // false, errno saying why, when it cannot be made.
    explicit CPrivateFolder(const std::string& beside);
    // Removes the folder with whatever is still in it; errno stays as it was.
    ~CPrivateFolder();
    CPrivateFolder(const CPrivateFolder&) = delete;
    CPrivateFolder& operator=(const CPrivateFolder&) = delete;

    bool IsMade() const { return !m_strPath.empty(); }
    // The folder, without a trailing '/'.
    const std::string& Path() const { return m_strPath; }
    std::string PathOf(std::string_view name) const { return m_strPath + '/' + std::string(name); }

private:
    std::string m_strPath;
};
