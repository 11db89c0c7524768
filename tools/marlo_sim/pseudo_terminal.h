// The simulated serial line: a pseudo-terminal pair and the link that names
// its slave side, each released by its destructor.
#pragma once

#include <optional>
#include <string>

// Owns one file descriptor and closes it.
class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_nFd(fd) {}
    CUniqueFd(CUniqueFd&& other) noexcept : m_nFd(other.m_nFd) { other.m_nFd = -1; }
    CUniqueFd& operator=(CUniqueFd&& other) noexcept;
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    ~CUniqueFd();

    int Get() const { return m_nFd; }
    bool IsValid() const { return m_nFd >= 0; }

private:
    int m_nFd = -1;
};

class CPseudoTerminal {
public:
    // A pair whose slave is raw (no echo, no line editing, no CR/LF
    // translation) and whose master does not block; nullopt with error set
    // when the system refuses.
    static std::optional<CPseudoTerminal> Open(std::string& error);

    // Where the transmissions are written.
    int Master() const { return m_master.Get(); }
    const std::string& SlavePath() const { return m_strSlavePath; }

private:
    CPseudoTerminal() = default;

    CUniqueFd m_master;
    // Held open so that the line never hangs up when a reader closes it.
    CUniqueFd m_slave;
    std::string m_strSlavePath;
};

// A symbolic link that lives as long as the object.
class CSymbolicLink {
public:
    CSymbolicLink() = default;
    CSymbolicLink(const CSymbolicLink&) = delete;
    CSymbolicLink& operator=(const CSymbolicLink&) = delete;
    // Removes the link unless it has since been pointed elsewhere.
    ~CSymbolicLink();

    // Makes path a link to target, replacing a link already there but no
    // other kind of file; folders are not created. False with error set on
    // failure.
    bool Create(const std::string& path, const std::string& target, std::string& error);

private:
    std::string m_strPath;
    std::string m_strTarget;
};
