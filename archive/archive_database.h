// One open connection to the lab archive: a SQLite file, created when
// missing and written ahead (WAL) so that readers never wait for a writer,
// or a PostgreSQL server. Its schema is brought up to date on opening.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <memory>
#include <string>
#include <string_view>

#include "archive/archive_server.h"

// How long opening a server waits for it to answer before failing.
inline constexpr int kServerConnectSeconds = 5;

class CArchiveDatabase {
public:
    // The archive at path; null with failure saying why when it cannot be
    // opened or brought up to date.
    static std::unique_ptr<CArchiveDatabase> OpenSqlite(const std::string& path, std::string& failure);
    // The same for a station's own archive, which is made on first use with
    // the folders it lies in.
    static std::unique_ptr<CArchiveDatabase> OpenStation(const std::string& path, std::string& failure);
    // The same for the server; a refused password says where libpq looks.
    static std::unique_ptr<CArchiveDatabase> OpenServer(const STArchiveServer& server, std::string& failure);
    // A server when where is a "postgresql://" URL, else the SQLite file.
    static std::unique_ptr<CArchiveDatabase> Open(std::string_view where, std::string& failure);
    ~CArchiveDatabase();
    CArchiveDatabase(const CArchiveDatabase&) = delete;
    CArchiveDatabase& operator=(const CArchiveDatabase&) = delete;

    // For the thread that opened it only, as every Qt Sql connection.
    QSqlDatabase Database() const;
    bool IsServer() const;

private:
    explicit CArchiveDatabase(QString connection) : m_strConnection(std::move(connection)) {}

    QString m_strConnection;
};
