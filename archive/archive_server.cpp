#include "archive/archive_server.h"

#include <charconv>

namespace {

constexpr std::string_view kScheme = "postgresql://";

// Takes the text up to the first of stops from rest.
std::string_view TakeUntil(std::string_view& rest, std::string_view stops) {
    const std::size_t at = std::min(rest.find_first_of(stops), rest.size());
    const std::string_view taken = rest.substr(0, at);
    rest.remove_prefix(at);
    return taken;
}

bool ReadPort(std::string_view text, int& port) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    return error == std::errc() && end == text.data() + text.size() && port > 0 && port <= 65535;
}

}  // namespace

bool IsServerUrl(std::string_view where) {
    return where.starts_with(kScheme);
}

std::optional<STArchiveServer> ParseServerUrl(std::string_view url, std::string& failure) {
    if (!IsServerUrl(url)) {
        failure = "not a postgresql:// URL";
        return std::nullopt;
    }
    std::string_view rest = url.substr(kScheme.size());
    STArchiveServer server;
    if (const std::size_t at = rest.find('@'); at != std::string_view::npos && at < rest.find('/')) {
        const std::string_view user = rest.substr(0, at);
        if (user.find(':') != std::string_view::npos) {
            failure = "a password has no place in the URL: put it in ~/.pgpass or PGPASSWORD";
            return std::nullopt;
        }
        server.m_strUser = user;
        rest.remove_prefix(at + 1);
    }
    server.m_strHost = TakeUntil(rest, ":/");
    if (rest.starts_with(':')) {
        rest.remove_prefix(1);
        if (!ReadPort(TakeUntil(rest, "/"), server.m_nPort)) {
            failure = "the port is no number from 1 to 65535";
            return std::nullopt;
        }
    }
    if (rest.starts_with('/')) rest.remove_prefix(1);
    server.m_strDatabase = rest;
    if (server.m_strHost.empty() || server.m_strDatabase.empty() ||
        server.m_strDatabase.find_first_of("/?") != std::string::npos) {
        failure = "give postgresql://user@host:port/database";
        return std::nullopt;
    }
    return server;
}

std::string ServerUrl(const STArchiveServer& server) {
    return std::string(kScheme) + (server.m_strUser.empty() ? "" : server.m_strUser + "@") + server.m_strHost + ":" +
           std::to_string(server.m_nPort) + "/" + server.m_strDatabase;
}
