// A PostgreSQL server that holds the archive a whole lab shares. The
// password is never part of it: libpq finds it in ~/.pgpass or PGPASSWORD.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct STArchiveServer {
    std::string m_strHost;
    int m_nPort = 5432;
    std::string m_strDatabase;
    std::string m_strUser;

    bool operator==(const STArchiveServer&) const = default;
};

// Whether where names a server ("postgresql://…") rather than a file.
bool IsServerUrl(std::string_view where);

// "postgresql://user@host:port/database", the port and user optional (the
// user is then the login's, as libpq takes it). Null, failure saying why, for
// anything else, and for a URL that carries a password.
std::optional<STArchiveServer> ParseServerUrl(std::string_view url, std::string& failure);

std::string ServerUrl(const STArchiveServer& server);
