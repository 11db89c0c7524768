// Opening a file for reading that may be named by anyone: only a regular
// file is read, it is opened without waiting (a FIFO or a device would block
// the open or never end), and one larger than the program is ready to hold
// is refused before a byte is read.
#pragma once

#include <cstdint>
#include <string>

// The largest file the program reads whole or as a batch.
inline constexpr std::uint64_t kLargestReadFile = std::uint64_t{1} << 30;

class CRegularFile {
public:
    // Opens path for reading; IsOpen() false, with Failure() saying why
    // ("<path>: not a regular file", "<path>: No such file or directory",
    // "<path>: larger than 1 GiB"), when it cannot be read.
    explicit CRegularFile(const std::string& path, std::uint64_t largest = kLargestReadFile);
    ~CRegularFile();
    CRegularFile(const CRegularFile&) = delete;
    CRegularFile& operator=(const CRegularFile&) = delete;

    bool IsOpen() const { return m_hFile >= 0; }
    int Descriptor() const { return m_hFile; }
    std::uint64_t Size() const { return m_nSize; }
    const std::string& Failure() const { return m_strFailure; }

private:
    void Fail(const std::string& path, const std::string& reason);

    int m_hFile = -1;
    std::uint64_t m_nSize = 0;
    std::string m_strFailure;
};
